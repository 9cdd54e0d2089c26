// The FTDI USB calls over libftdi1.
// Its classes arrive with the issues that build them.
