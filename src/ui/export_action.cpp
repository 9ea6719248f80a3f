#include "ui/export_action.h"

void RunExportCommand(QWidget*, const CDeviceConfig&) {}
