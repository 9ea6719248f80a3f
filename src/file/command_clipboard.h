#pragma once
// Commands carried outside a configuration (the clipboard between workbenches): the text is a
// configuration file of the file format whose one slave node holds exactly those commands, so
// it is written and read by the file layer's own writer and reader.

#include <memory>
#include <string>
#include <vector>

#include "file/config_file.h"

class CModbusCommand;

namespace gw {

// The file text (GBK bytes) that carries copies of the commands.
FileResult WriteCommandsText(const std::vector<const CModbusCommand*>& commands, std::string* text);
// The commands a text carries, read as a configuration file is read.
FileResult ReadCommandsText(std::string text, std::vector<std::unique_ptr<CModbusCommand>>* commands);

} // namespace gw
