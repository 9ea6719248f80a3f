#include "widgets/hyperlink_label.h"

CHyperLink::CHyperLink(const QString& text, const QString& url, QWidget* parent)
    : QLabel(parent), m_url(url)
{
    setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    setOpenExternalLinks(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(url);
}
