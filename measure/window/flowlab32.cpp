// flowlab32: the measurement window and its companions.
// Its classes arrive with the issues that build them.
