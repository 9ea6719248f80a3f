#include "ui/language_choice.h"

#include <QActionGroup>
#include <QMenu>
#include <QSettings>

#include "model/lang_strings.h"
#include "ui/user_prompt.h"

namespace {

const char* const kLanguageKey = "Workbench/Language";

} // namespace

void ApplyLanguageChoice()
{
    const QByteArray picked = QSettings().value(kLanguageKey).toString().toLatin1();
    SetActiveLanguage(ParseLanguage(picked.toStdString()).value_or(SystemLanguage()));
}

QMenu* CreateLanguageMenu(QWidget* parent, CUserPrompt& prompt)
{
    auto* menu = new QMenu(QStringLiteral("Language"), parent);
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const std::pair<Language, QString> choices[] = {
        {Language::English, QStringLiteral("English")},
        {Language::Chinese, QStringLiteral("Chinese (中文)")},
    };
    for (const auto& [lang, text] : choices) {
        QAction* action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(lang == ActiveLanguage());
        action->setData(QString::fromLatin1(LanguageCode(lang)));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [parent, &prompt, lang = lang] {
            QSettings().setValue(kLanguageKey, QString::fromLatin1(LanguageCode(lang)));
            if (lang != ActiveLanguage())
                prompt.ShowMessage(parent, QStringLiteral("The language changes when the program is started again."));
        });
    }
    return menu;
}
