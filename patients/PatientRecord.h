#pragma once

// The sheet's patient and the row of the patient table, field by field.
// Texts are copied within the width of their field, never cut inside a
// character; the record's unused bytes stay zero.

#include "patients/PatientFields.h"
#include "platform/dbkit/Records.h"

PatientRecordType ToPatientRecord(const TPatientFields& fields);
TPatientFields FromPatientRecord(const PatientRecordType& record);
