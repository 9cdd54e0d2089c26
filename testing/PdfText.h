#pragma once

// Reading a printed PDF back in the tests, through poppler-utils.

#include <QStringList>

#include <filesystem>
#include <string>

// What `program` (pdftotext, pdfinfo, ...) prints for `pdf` with
// `options`; "<program failed>" when it does not run or fails. pdftotext
// writes its text to standard output.
std::string Poppler(const char* program, const std::filesystem::path& pdf, const QStringList& options = {});

// The text of a PDF, laid out as on the page.
inline std::string PdfText(const std::filesystem::path& pdf) { return Poppler("pdftotext", pdf, {"-layout"}); }

// The trimmed line of `text` that starts with `name` and a blank; "" when
// there is none.
std::string LineOf(const std::string& text, const std::string& name);

// The PDF's first page as a picture beside it (the same name ending in
// ".png") at `dpi`, for a person to look at; whether it was written.
bool PdfPageToPng(const std::filesystem::path& pdf, int dpi = 96);
