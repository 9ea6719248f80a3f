#include "ui/ui_text.h"

#include "model/lang_strings.h"

QString LangText(StringId id) { return FromUtf8(GetLangString(id)); }

QString ResultText(ResultCode code) { return FromUtf8(ResultMessage(code)); }

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
