#include "ui/transfer_dialog.h"

bool RunTransferDialog(QWidget*, TransferDirection, CDeviceConfig&) { return false; }
