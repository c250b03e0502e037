#pragma once
// The about window's update check: the check button and destroy handlers, the worker that
// probes the network and reads the update page, and the result it leaves in the window.
#include <atomic>
#include <functional>
#include <memory>

#include "app/app.h"
#include "platform/internet.h"
#include "platform/secondary_windows.h"
#include "platform/types.h"

namespace zelv {

inline constexpr char kFieldKey[] = "k42RT5Mvwe";
inline constexpr char kRunningVersion[] = "1.0";

// Where the check looks. The built-in values come from the build, so test builds can point
// them at a local server.
struct UpdateEndpoints {
  Text updatePageUrl;
  Text probeSiteUrl;  // scheme and host, no trailing slash
  Text probeMarker;   // bytes the probe site's home page carries
};
[[nodiscard]] UpdateEndpoints BuiltInEndpoints();
// "e799be" -> the three bytes; nothing on an odd length or a non-hex digit.
[[nodiscard]] std::optional<Bytes> BytesFromHex(const Text& hex);

// True when a connection to the probe site opens and its home page carries the marker; a
// network that answers with a page of its own (a captive portal) thus counts as offline.
[[nodiscard]] bool ProbeInternet(IInternet& internet, const UpdateEndpoints& endpoints);

// What a worker found; applied to the window on the UI thread.
struct CheckOutcome {
  enum class Kind { Offline, PageUnreadable, Fetched } kind = Kind::Offline;
  Text pageText;      // the page with its HTML stripped
  UpdateTexts texts;  // all six set unless Offline
};

// The worker's part: everything that may block. Returns early (as Offline) once cancelled.
[[nodiscard]] CheckOutcome RunUpdateCheck(IInternet& internet, const UpdateEndpoints& endpoints,
                                          const std::atomic<bool>& cancelled);

class UpdateCheck final : public IAboutWindowEvents {
 public:
  // Runs a job on a new thread; false when no thread could be started. The default detaches
  // a std::thread: an abandoned check is never waited for and ends by its network time-outs.
  using ThreadStarter = std::function<bool(std::function<void()>)>;

  explicit UpdateCheck(App& app, UpdateEndpoints endpoints = BuiltInEndpoints(), ThreadStarter starter = {});
  // Cancels a running check without waiting for it.
  ~UpdateCheck() override;
  UpdateCheck(const UpdateCheck&) = delete;
  UpdateCheck& operator=(const UpdateCheck&) = delete;

  void OnCheckButtonClicked() override;
  void OnAboutWindowDestroying() override;

  // A check was started and has neither shown its result nor been stopped.
  [[nodiscard]] bool Running() const;

 private:
  struct Worker;
  App& app_;
  UpdateEndpoints endpoints_;
  ThreadStarter starter_;
  // The most recent check; kept after it ends and across windows.
  std::shared_ptr<Worker> current_;
};

}  // namespace zelv
