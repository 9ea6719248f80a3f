#include "ui/memory_map_dialog.h"

void ShowMemoryMapDialog(QWidget*, CDeviceConfig&) {}
