#include "ui/ui_text.h"

#include "model/lang_strings.h"

QString LangText(StringId id) { return FromUtf8(gw::GetLangString(id)); }

QString ResultText(ResultCode code) { return FromUtf8(gw::ResultMessage(code)); }
