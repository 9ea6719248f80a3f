#include "support/workbook_text.h"

#include "support/run_program.h"

std::string WorkbookText(const std::string& path)
{
    static const ScratchFolder capture;
    const ProgramRun run = RunProgram("/usr/bin/python3", {WORKBOOK_DUMP_SCRIPT, path}, capture.Path().string());
    return run.status == 0 ? run.out : "no workbook read (python3-openpyxl?): " + run.err;
}
