// hearing32: the audiometer window and its link.
// Its classes arrive with the issues that build them.
