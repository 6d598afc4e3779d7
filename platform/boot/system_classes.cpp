// The device's system classes from every part of the platform that has some. This
// is the one place that knows both the window system (user/) and the parts above it
// (comctl/): the window system calls RegisterSystemClasses when it starts.
#include "comctl/register.h"
#include "user/system_classes.h"

namespace sim {

void RegisterSystemClasses() {
  RegisterClassTable(BasicSystemClasses());
  RegisterClassTable(CommonControlClasses());
}

}  // namespace sim
