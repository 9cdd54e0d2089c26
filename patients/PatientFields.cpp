#include "patients/PatientFields.h"

float PopulationCorrection(int population) {
  switch (population) {
    case 2:
      return 0.8f;
    case 3:
      return 1.1f;
    case 4:
      return 0.7f;
    default:
      return 1.0f;
  }
}
