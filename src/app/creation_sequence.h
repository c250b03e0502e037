#pragma once
namespace zelv {
class App;
// The creation event of the main window: the fixed start-up sequence, on the UI thread.
void RunCreationSequence(App& app);
}  // namespace zelv
