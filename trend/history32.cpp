// history32: the trend window.
// Its classes arrive with the issues that build them.
