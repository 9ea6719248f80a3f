#pragma once
// File > Export I/O List..., File > Export Report... and File > Print...: the hand-over documents
// of the open configuration, with their questions put through prompts so that a test can answer.

#include <QString>

#include "report/io_list.h"

class CDeviceConfig;
class QTextDocument;
class QWidget;

// What the user chose before a list or a report is made.
struct HandoverOptions {
    IoListOptions list;
    QString probeJson;    // the report only: what "gatewaycfg probe --json" printed; empty for none
    QString verifyJson;   // the report only: what "gatewaycfg verify --json" printed
};

enum class HandoverKind { IoList, Report, Print };

class CHandoverPrompts {
public:
    virtual ~CHandoverPrompts() = default;
    // The options of the list (and, for a report or a print, the result files); false on Cancel.
    virtual bool AskOptions(QWidget* parent, HandoverKind kind, HandoverOptions& options) = 0;
    // A save dialog: CSV, Markdown or JSON for the list, HTML or PDF for the report; the name it
    // returns carries the suffix of the type chosen. Empty when cancelled.
    virtual QString AskSavePath(QWidget* parent, HandoverKind kind) = 0;
    virtual void ShowFailure(QWidget* parent, const QString& text) = 0;
    // Shows the document in a print preview, from which the user prints it.
    virtual void PrintWithPreview(QWidget* parent, QTextDocument& document) = 0;
};

// The file the configuration came from, for the report's heading; empty for a new one.
struct ReportFile {
    QString path;
    QString savedAt;
};

// Each returns the path written (the document title for a print), or empty when nothing was.
QString RunIoListExport(QWidget* parent, const CDeviceConfig& root, CHandoverPrompts& prompts);
QString RunReportExport(QWidget* parent, const CDeviceConfig& root, const ReportFile& file, CHandoverPrompts& prompts);
QString RunReportPrint(QWidget* parent, const CDeviceConfig& root, const ReportFile& file, CHandoverPrompts& prompts);

// The same with the desktop's dialogs; the options are kept for the next time while the
// program runs.
void RunIoListExport(QWidget* parent, const CDeviceConfig& root);
void RunReportExport(QWidget* parent, const CDeviceConfig& root, const ReportFile& file);
void RunReportPrint(QWidget* parent, const CDeviceConfig& root, const ReportFile& file);
