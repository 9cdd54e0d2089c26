// normref32: predicted values (TPredicted).
// Its classes arrive with the issues that build them.
