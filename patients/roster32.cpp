// roster32: the patient data sheet and the patient dialogs.
// Its classes arrive with the issues that build them.
