// "Export XLS" with scripted answers, and the desktop's save dialog and questions.

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "dialog_test_config.h"
#include "modal_box_watcher.h"
#include "ui/export_action.h"
#include "ui/export_prompts.h"

using namespace dialog_test;

namespace {

// Answers the export's prompts from a script and records what was asked.
class ScriptedPrompts : public CExportPrompts {
public:
    QString savePath;            // what the save dialog returns (empty: cancelled)
    bool overwrite = false;
    bool open = false;
    bool openWorks = true;

    QStringList asked;           // "overwrite PATH", "failure TEXT", "open PATH", "opened PATH"

    QString AskSavePath(QWidget*) override { return savePath; }
    bool AskOverwrite(QWidget*, const QString& path) override
    {
        asked << "overwrite " + path;
        return overwrite;
    }
    void ShowFailure(QWidget*, const QString& text) override { asked << "failure " + text; }
    bool AskOpenWorkbook(QWidget*, const QString& path) override
    {
        asked << "open " + path;
        return open;
    }
    bool OpenWorkbook(const QString& path) override
    {
        asked << "opened " + path;
        return openWorks;
    }
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteMarker(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a workbook");
}

bool IsZip(const QString& path) { return ReadAll(path).startsWith("PK\x03\x04"); }

} // namespace

class ExportActionTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = MakeMappedConfig(48);
    }

    void ABareNameGetsTheWorkbookExtension()
    {
        ScriptedPrompts prompts;
        prompts.savePath = m_dir->filePath("plant");
        const QString written = RunExportCommand(nullptr, *m_root, prompts);
        QCOMPARE(written, m_dir->filePath("plant.xlsx"));
        QVERIFY(IsZip(written));
        QVERIFY(!QFile::exists(m_dir->filePath("plant")));
        QCOMPARE(prompts.asked, QStringList{"open " + written});

        // A name ending in a dot is bare too; a name with an extension is kept.
        prompts.savePath = m_dir->filePath("second.");
        QCOMPARE(RunExportCommand(nullptr, *m_root, prompts), m_dir->filePath("second.xlsx"));
        prompts.savePath = m_dir->filePath("third.wb");
        QCOMPARE(RunExportCommand(nullptr, *m_root, prompts), m_dir->filePath("third.wb"));
        QVERIFY(IsZip(m_dir->filePath("third.wb")));
    }

    void AnExistingFileUnderTheCompletedNameIsAskedAbout()
    {
        const QString existing = m_dir->filePath("plant.xlsx");
        WriteMarker(existing);
        ScriptedPrompts prompts;
        prompts.savePath = m_dir->filePath("plant");

        prompts.overwrite = false;
        QVERIFY(RunExportCommand(nullptr, *m_root, prompts).isEmpty());
        QCOMPARE(prompts.asked, QStringList{"overwrite " + existing});
        QCOMPARE(ReadAll(existing), QByteArray("not a workbook"));

        prompts.asked.clear();
        prompts.overwrite = true;
        QCOMPARE(RunExportCommand(nullptr, *m_root, prompts), existing);
        QCOMPARE(prompts.asked, (QStringList{"overwrite " + existing, "open " + existing}));
        QVERIFY(IsZip(existing));

        // The save dialog has asked about a name it returned with the extension.
        prompts.asked.clear();
        prompts.savePath = existing;
        QCOMPARE(RunExportCommand(nullptr, *m_root, prompts), existing);
        QCOMPARE(prompts.asked, QStringList{"open " + existing});
    }

    void CancellingWritesNothing()
    {
        ScriptedPrompts prompts;
        QVERIFY(RunExportCommand(nullptr, *m_root, prompts).isEmpty());
        QVERIFY(prompts.asked.isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void AFailureNamesThePath()
    {
        ScriptedPrompts prompts;
        prompts.savePath = m_dir->filePath("missing/folder/plant.xlsx");
        QVERIFY(RunExportCommand(nullptr, *m_root, prompts).isEmpty());
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY2(prompts.asked.front().startsWith("failure "), qPrintable(prompts.asked.front()));
        QVERIFY2(prompts.asked.front().contains(prompts.savePath), qPrintable(prompts.asked.front()));

        // A folder of that name.
        prompts.asked.clear();
        QVERIFY(QDir(m_dir->path()).mkdir("book.xlsx"));
        prompts.savePath = m_dir->filePath("book");
        prompts.overwrite = true;
        QVERIFY(RunExportCommand(nullptr, *m_root, prompts).isEmpty());
        QCOMPARE(prompts.asked.size(), 2);   // the overwrite question, then the failure
        QVERIFY(prompts.asked.back().contains(m_dir->filePath("book.xlsx")));
    }

    void SuccessOffersToOpenTheWorkbook()
    {
        ScriptedPrompts prompts;
        prompts.savePath = m_dir->filePath("open-me.xlsx");
        prompts.open = true;
        QCOMPARE(RunExportCommand(nullptr, *m_root, prompts), prompts.savePath);
        QCOMPARE(prompts.asked, (QStringList{"open " + prompts.savePath, "opened " + prompts.savePath}));

        prompts.asked.clear();
        prompts.openWorks = false;
        RunExportCommand(nullptr, *m_root, prompts);
        QCOMPARE(prompts.asked.size(), 3);
        QVERIFY(prompts.asked.back().startsWith("failure "));
        QVERIFY(prompts.asked.back().contains(prompts.savePath));
    }

    void TheSaveDialogCompletesTheNameAndAsksBeforeReplacing()
    {
        const QString existing = m_dir->filePath("plant.xlsx");
        WriteMarker(existing);
        ModalBoxWatcher boxes;
        boxes.answers = {QMessageBox::Yes};
        QStringList filters;
        QTimer driver;
        driver.setInterval(10);
        connect(&driver, &QTimer::timeout, this, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(widget);
                if (!dialog || !dialog->isVisible())
                    continue;
                driver.stop();
                filters = dialog->nameFilters();
                dialog->setDirectory(m_dir->path());
                auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                QVERIFY(name);
                name->setText("plant");
                static_cast<QDialog*>(dialog)->accept();   // runs the file dialog's own checks
                return;
            }
        });
        driver.start();
        CDesktopExportPrompts prompts;
        const QString picked = prompts.AskSavePath(nullptr);
        QCOMPARE(filters, QStringList{"Excel File(*.xlsx)"});
        QCOMPARE(QFileInfo(picked).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
        QCOMPARE(boxes.seen.size(), std::size_t(1));
        QVERIFY2(boxes.seen.front().text.contains("plant.xlsx"), qPrintable(boxes.seen.front().text));
    }

    void TheDesktopQuestionsNameThePath()
    {
        ModalBoxWatcher boxes;
        CDesktopExportPrompts prompts;
        const QString path = m_dir->filePath("plant.xlsx");
        boxes.answers = {QMessageBox::No, QMessageBox::Yes};
        QVERIFY(!prompts.AskOpenWorkbook(nullptr, path));
        QVERIFY(prompts.AskOverwrite(nullptr, path));
        QCOMPARE(boxes.seen.size(), std::size_t(2));
        for (const SeenBox& box : boxes.seen) {
            QVERIFY2(box.text.contains(path), qPrintable(box.text));
            QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CDeviceConfig> m_root;
};

QTEST_MAIN(ExportActionTest)
#include "export_action_test.moc"
