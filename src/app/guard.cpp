#include "app/guard.h"

#include "app/app.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace zelv {

bool GuardSingleInstance(App& app, const Text& identifier) {
  ISystem& system = *app.platform().system;
  bool laterInstance = system.OpenNamedEvent(identifier);
  if (!laterInstance) {
    // Two instances started together can both miss the event when opening it; the creation
    // tells them apart, because only one of them really creates it.
    const EventCreation creation = system.CreateNamedEvent(identifier);
    laterInstance = creation.created && creation.alreadyExisted;
  }
  if (laterInstance) {
    app.platform().forms->EndProgram(0);
    return false;
  }
  return true;
}

}  // namespace zelv
