#include "host/validator/HostWindow.h"

namespace tbvalidate {

HostWindow::HostWindow() = default;
HostWindow::~HostWindow() = default;
void HostWindow::PumpMessages() {}

}  // namespace tbvalidate
