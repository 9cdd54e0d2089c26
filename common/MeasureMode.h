#pragma once

// The kind of test in TMeasureData::MeasureMode. Values 0 to 5 also index
// the test kinds of the measurement files, the tables and the parameter blocks.

inline constexpr short MEASURE_FVC = 0;
inline constexpr short MEASURE_VC = 1;
inline constexpr short MEASURE_MVV = 2;
inline constexpr short MEASURE_DFC = 3;
inline constexpr short MEASURE_PLETHY = 4;
inline constexpr short MEASURE_SHUTTER = 5;
inline constexpr short MEASURE_RHINO = 6;
inline constexpr short MEASURE_CALIBRATION = 7;

// Transient modes besides the tests.
inline constexpr short MEASURE_ZERO = -4;          // while zeroing
inline constexpr short MEASURE_SERVICE = -3;       // while the service page runs
inline constexpr short MEASURE_PORT_TEST = -1;     // while a configuration page tests a port

// Equation sets of the predicted values (the ini key "Algorithm").
inline constexpr short PREDICTED_ECCS = 0;
inline constexpr short PREDICTED_KNUDSON = 1;
inline constexpr short PREDICTED_COTTON_DUST = 2;
inline constexpr short PREDICTED_CRAPO_HSU = 3;
inline constexpr short PREDICTED_AUSTRIAN = 4;
inline constexpr short PREDICTED_FINNISH = 5;
inline constexpr short PREDICTED_NONE = 6;
