#pragma once
// An .xlsx workbook as text, read back through openpyxl (dump_workbook.py shows the form),
// independently of the library that wrote it.

#include "support/run_program.h"

inline std::string WorkbookText(const std::string& path)
{
    static const ScratchFolder capture;
    const ProgramRun run = RunProgram("/usr/bin/python3", {EXPORT_TEST_DUMP_SCRIPT, path}, capture.Path().string());
    return run.status == 0 ? run.out : "no workbook read (python3-openpyxl?): " + run.err;
}
