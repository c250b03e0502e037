#include "net/update_check.h"

#include <mutex>
#include <thread>
#include <utility>

#include "net/html_to_text.h"
#include "net/update_page.h"
#include "net/web_request.h"
#include "platform/forms.h"
#include "text/text_rules.h"

#ifndef ZELV_UPDATE_PAGE_URL
#define ZELV_UPDATE_PAGE_URL ""
#endif
#ifndef ZELV_PROBE_SITE_URL
#define ZELV_PROBE_SITE_URL ""
#endif
#ifndef ZELV_PROBE_MARKER_HEX
#define ZELV_PROBE_MARKER_HEX ""
#endif

namespace zelv {
namespace {

constexpr ColourValue kFailureColour = 255;
constexpr ColourValue kResultColour = 0x808000;

// A body is taken as text up to its first zero byte, as the page reader always did.
Text TextFromBody(const Bytes& body) {
  const std::size_t zero = body.find('\0');
  return zero == Bytes::npos ? body : body.substr(0, zero);
}

bool DefaultThreadStarter(std::function<void()> job) {
  try {
    std::thread(std::move(job)).detach();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

// Shared between the UI thread and one worker. The UI side fields are touched on the UI
// thread only. The forms and windows stay valid for as long as the check is not cancelled,
// because everything that ends their owners cancels first, on the UI thread; the network
// backend is never destroyed (see main), as an abandoned worker may still be inside it.
struct UpdateCheck::Worker {
  std::atomic<bool> cancelled{false};
  // Held by the worker while it tests `cancelled` and posts its result, and by Cancel: once
  // Cancel returns, the worker can no longer reach the forms, which may then go away.
  std::mutex postMutex;
  bool resultShown = false;  // UI thread only
  IInternet* internet = nullptr;
  IForms* forms = nullptr;
  ISecondaryWindows* windows = nullptr;
  UpdateTexts* texts = nullptr;
  UpdateEndpoints endpoints;

  void Apply(const CheckOutcome& outcome);
  void Cancel() {
    const std::lock_guard lock(postMutex);
    cancelled = true;
  }
};

std::optional<Bytes> BytesFromHex(const Text& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  Bytes out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out.push_back(static_cast<char>(high * 16 + low));
  }
  return out;
}

UpdateEndpoints BuiltInEndpoints() {
  UpdateEndpoints endpoints;
  endpoints.updatePageUrl = ZELV_UPDATE_PAGE_URL;
  endpoints.probeSiteUrl = ZELV_PROBE_SITE_URL;
  endpoints.probeMarker = BytesFromHex(ZELV_PROBE_MARKER_HEX).value_or(Bytes());
  return endpoints;
}

bool ProbeInternet(IInternet& internet, const UpdateEndpoints& endpoints) {
  if (!internet.CheckConnection(endpoints.probeSiteUrl, kFlagIccForceConnection)) return false;
  const Bytes body = WebRequest(internet, endpoints.probeSiteUrl + "/");
  // An empty marker would make any answer count; a broken build must not pass as online.
  if (endpoints.probeMarker.empty()) return false;
  return body.find(endpoints.probeMarker) != Bytes::npos;
}

CheckOutcome RunUpdateCheck(IInternet& internet, const UpdateEndpoints& endpoints,
                            const std::atomic<bool>& cancelled) {
  CheckOutcome outcome;
  if (cancelled || !ProbeInternet(internet, endpoints) || cancelled) return outcome;

  const std::optional<Bytes> page = internet.ReadUrl(endpoints.updatePageUrl);
  outcome.pageText = HtmlToText(TextFromBody(page.value_or(Bytes())));

  const UpdateFields fields = ReadUpdateFields(outcome.pageText);
  UpdateTexts& texts = outcome.texts;
  texts.encodedVersion = fields.encodedVersion;
  texts.encodedDownloadAddress = fields.encodedDownloadAddress;
  texts.encodedUpdateNotes = fields.encodedUpdateNotes;
  texts.latestVersion = fields.version;
  texts.downloadAddress = fields.downloadAddress;
  texts.updateNotes = fields.notes;

  // Without a version field there is nothing to report: three empty values would read as
  // "an update is available".
  outcome.kind = page.has_value() && !texts.encodedVersion->empty() ? CheckOutcome::Kind::Fetched
                                                                    : CheckOutcome::Kind::PageUnreadable;
  return outcome;
}

void UpdateCheck::Worker::Apply(const CheckOutcome& outcome) {
  // Tested before every change: the window may go away while a message box of ours is up.
  auto live = [this] { return !cancelled.load(); };
  if (!live()) return;
  resultShown = true;

  auto fail = [&](const Text& message) {
    if (!live()) return;
    windows->SetVisible(AboutControl::Progress, false);
    if (!live()) return;
    windows->SetText(AboutControl::ResultBox, message);
    windows->SetTextColour(AboutControl::ResultBox, kFailureColour);
    windows->SetVisible(AboutControl::ResultBox, true);
  };

  if (outcome.kind == CheckOutcome::Kind::Offline) {
    fail("检测失败，系统未连接互联网");
    return;
  }
  *texts = outcome.texts;
  windows->SetText(AboutControl::PageTextBox, outcome.pageText);
  if (outcome.kind == CheckOutcome::Kind::PageUnreadable) {
    fail("检测失败，无法获取更新信息");
    return;
  }

  const Text running = TextAfter(windows->Caption(AboutControl::VersionLabel), "：", 3, true);
  windows->SetVisible(AboutControl::Progress, false);
  const Text& latest = *outcome.texts.latestVersion;
  if (latest == running && latest == kRunningVersion) {
    if (live()) windows->MessageBox("当前已是最新版本了", kMessageCaption);
    return;
  }
  if (!live()) return;
  windows->SetText(AboutControl::ResultBox, "最新版本：" + latest + "\r\n\r\n下载地址：" +
                                                *outcome.texts.downloadAddress + "\r\n\r\n更新内容：" +
                                                *outcome.texts.updateNotes);
  windows->SetTextColour(AboutControl::ResultBox, kResultColour);
  windows->SetVisible(AboutControl::ResultBox, true);
}

UpdateCheck::UpdateCheck(App& app, UpdateEndpoints endpoints, ThreadStarter starter)
    : app_(app),
      endpoints_(std::move(endpoints)),
      starter_(starter ? std::move(starter) : DefaultThreadStarter) {}

UpdateCheck::~UpdateCheck() {
  if (current_) current_->Cancel();
}

bool UpdateCheck::Running() const { return current_ && !current_->resultShown && !current_->cancelled; }

void UpdateCheck::OnCheckButtonClicked() {
  // Two checks must never write the same controls; the running one finishes first.
  if (Running()) return;
  const Platform& platform = app_.platform();
  ISecondaryWindows* windows = platform.secondary;
  if (windows == nullptr || platform.forms == nullptr || platform.internet == nullptr) return;

  windows->SetVisible(AboutControl::ResultBox, false);
  windows->SetVisible(AboutControl::Progress, true);

  auto worker = std::make_shared<Worker>();
  worker->internet = platform.internet;
  worker->forms = platform.forms;
  worker->windows = windows;
  worker->texts = &app_.updateTexts;
  worker->endpoints = endpoints_;
  current_ = worker;

  const bool started = starter_([worker] {
    CheckOutcome outcome = RunUpdateCheck(*worker->internet, worker->endpoints, worker->cancelled);
    const std::lock_guard lock(worker->postMutex);
    if (worker->cancelled) return;
    worker->forms->PostToUi([worker, outcome = std::move(outcome)] { worker->Apply(outcome); });
  });
  // The window stays in its checking state, but a later press may try again.
  if (!started) current_.reset();
}

void UpdateCheck::OnAboutWindowDestroying() {
  if (current_) current_->Cancel();
}

}  // namespace zelv
