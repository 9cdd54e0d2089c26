// The instrument library: link, wire protocol, replay and calculations.
// Its classes arrive with the issues that build them.
