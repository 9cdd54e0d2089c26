#pragma once

// The numbers of the language texts the record code shows besides the
// common ones (0 caption of error boxes, 194 out of memory).

namespace RecordText {
inline constexpr int NoCurveMemory = 3;
inline constexpr int WorkFileNotWritten = 27;  // followed by " (FVC)" ...
inline constexpr int DamagedFile = 9200;       // %1 file, %2 what is wrong
inline constexpr int CurveTooLong = 9201;      // %1 samples
inline constexpr int RestructureFailed = 9202;
inline constexpr int TestsNotStored = 9260;   // %1 date, %2 time, %3 the tests
inline constexpr int FileNotRead = 9261;      // %1 file, %2 why (a folder, a device, too large)
inline constexpr int AudiogramNoTables = 9230;
inline constexpr int AudiogramNotStored = 9231;  // %1 the engine's result
}  // namespace RecordText
