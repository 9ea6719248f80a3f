#pragma once
// A label that shows a web or mail address as a link and opens it with the desktop's handler.

#include <QLabel>

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    explicit CHyperLink(const QString& text, const QString& url, QWidget* parent = nullptr);
    QString Url() const { return m_url; }

private:
    QString m_url;
};
