#pragma once
// The About box: the program's name and version, the maker, technical support and the maker's
// web address as a link that opens in the browser.

#include <QDialog>

class CHyperLink;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    CHyperLink* WebLink() const { return m_link; }

private:
    CHyperLink* m_link;
};

// The maker's web address shown in the About box.
QString MakerWebAddress();
