#pragma once

// A provocation model over a settings file of its own, with helpers that
// write a set-up the way the set-up dialog stores it.

#include "special/provocation/ProvocationModel.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>

struct ProvocationFixture : ::testing::Test {
  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();

  // A material section and [Provocation] naming it and the parameters.
  void WriteIni(std::string_view material, std::string_view section, std::string_view params = "Param1=FVC02\nLimit1=-20\n") {
    Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=" + std::string(material) + "\n" + std::string(params) +
                                     "[" + std::string(material) + "]\n" + std::string(section));
  }

  // A model that has read its settings as the window does when it opens.
  TProvocationModel Open() {
    TProvocationModel model(Ini);
    EXPECT_TRUE(model.ReadSelectedProvParams().empty());
    model.ReloadSetup();
    return model;
  }
};
