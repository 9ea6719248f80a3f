#include "ui/language_choice.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QTranslator>
#include <memory>

#include "model/lang_strings.h"
#include "ui/user_prompt.h"

namespace {

const char* const kLanguageKey = "Workbench/Language";

} // namespace

void ApplyLanguageChoice()
{
    const QByteArray picked = QSettings().value(kLanguageKey).toString().toLatin1();
    gw::SetActiveLanguage(gw::ParseLanguage(picked.toStdString()).value_or(gw::SystemLanguage()));
}

bool InstallTranslations()
{
    static std::unique_ptr<QTranslator> own;
    static std::unique_ptr<QTranslator> qt;
    for (auto* translator : {&own, &qt}) {
        if (*translator)
            QCoreApplication::removeTranslator(translator->get());
        translator->reset();
    }
    const bool chinese = gw::ActiveLanguage() == Language::Chinese;
    QLocale::setDefault(chinese ? QLocale(QLocale::Chinese, QLocale::China) : QLocale(QLocale::English, QLocale::UnitedStates));
    if (!chinese)
        return true;
    own = std::make_unique<QTranslator>();
    const bool loaded = own->load(QStringLiteral(":/i18n/gateway-workbench_zh_CN.qm"));
    if (loaded)
        QCoreApplication::installTranslator(own.get());
    // Qt's own texts: the buttons of message boxes, the file dialogs, the context menus.
    qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt.get());
    return loaded;
}

QMenu* CreateLanguageMenu(QWidget* parent, CUserPrompt& prompt)
{
    auto* menu = new QMenu(QCoreApplication::translate("LanguageChoice", "Language"), parent);
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const std::pair<Language, QString> choices[] = {
        {Language::English, QCoreApplication::translate("LanguageChoice", "English")},
        {Language::Chinese, QCoreApplication::translate("LanguageChoice", "Chinese (中文)")},
    };
    for (const auto& [lang, text] : choices) {
        QAction* action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(lang == gw::ActiveLanguage());
        action->setData(QString::fromLatin1(gw::LanguageCode(lang)));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [parent, &prompt, lang = lang] {
            QSettings().setValue(kLanguageKey, QString::fromLatin1(gw::LanguageCode(lang)));
            if (lang != gw::ActiveLanguage())
                prompt.ShowMessage(parent, QCoreApplication::translate(
                                               "LanguageChoice", "The language changes when the program is started again."));
        });
    }
    return menu;
}
