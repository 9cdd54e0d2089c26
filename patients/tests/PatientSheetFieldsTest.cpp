// The field checks of the patient sheet: what happens when the focus
// leaves a field, on a patient shown from the table and being changed.

#include "patients/tests/PatientSheetFixture.h"

namespace {

using namespace PatientControl;

using enum TUnitSystem;

class PatientFieldsTest : public PatientSheetTest {
protected:
  // One patient on the table, shown in the given layout.
  TPatientSheet& ShowPatient(TPatientSheetSettings settings = {}, TPatientFields patient = {}) {
    if (patient.Name.empty())
      patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
    Database.Add(patient);
    return StartSheet(std::move(settings));
  }

  std::string UnreadableDate(const std::string& typed) const {
    return "The date \"" + typed + "\" cannot be read.\nPlease type the date in this form: YYYY.MM.DD.";
  }

  int LastFocus() const { return View.Focused.empty() ? 0 : View.Focused.back().Id; }
};

TEST_F(PatientFieldsTest, TextsAreTidiedWhenTheFocusLeaves) {
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full});
  for (const int id : {Name, MotherName, MaidenName, Postcode, County, City, Street, Phone, Occupation}) {
    TypeAndLeave(id, "  Szent   Ist  ");
    EXPECT_EQ(sheet.GetText(id), "Szent Ist") << id;
  }
  TypeAndLeave(Identifier, "  X   7 ");
  EXPECT_EQ(sheet.GetText(Identifier), "X 7");
  // The tidied address is also what the table gets.
  EXPECT_EQ(sheet.GetPatientRec().Addresses[0].City, "Szent Ist");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientFieldsTest, AMissingRequiredFieldIsReportedOnceAndKeepsTheFocus) {
  struct Case {
    int id;
    std::string typed;
  };
  const Case cases[] = {{Name, ""}, {Name, "   "}, {Identifier, ""}, {Date, ""}};
  for (const Case& c : cases) {
    Sink.Messages.clear();
    View.Focused.clear();
    Database.Rows.clear();
    ShowPatient();
    // The message box itself takes the focus from field to field; that must not report again.
    Sink.WhileShowing = [this] {
      for (const int id : {Name, Identifier, Date, Height})
        Sheet->EvKillFocus(id);
    };
    TypeAndLeave(c.id, c.typed);
    Sink.WhileShowing = nullptr;
    EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)}) << c.id;
    EXPECT_EQ(Sink.Messages[0].Caption, Text(0));
    EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
    EXPECT_EQ(LastFocus(), c.id);
    EXPECT_FALSE(SaveEnabled());
  }
}

TEST_F(PatientFieldsTest, ATextLongerThanItsFieldIsReportedAndNeverCut) {
  TPatientSheet& sheet = ShowPatient();
  // 16 accented letters are 32 bytes: more than the 30 the name field holds.
  std::string name;
  for (int i = 0; i < 16; ++i)
    name += "é";
  TypeAndLeave(Name, name);
  EXPECT_EQ(Shown(), std::vector<std::string>{Texts.Format(6214, {"Name", "30", "15"})});
  EXPECT_EQ(LastFocus(), Name);
  EXPECT_EQ(sheet.GetText(Name), name);  // nothing lost: the user shortens it
  EXPECT_FALSE(SaveEnabled());

  // Fifteen of them fit, and so do 30 plain letters.
  Sink.Messages.clear();
  TypeAndLeave(Name, name.substr(0, 30));
  TypeAndLeave(Name, std::string(30, 'x'));
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_TRUE(SaveEnabled());
}

TEST_F(PatientFieldsTest, HeightsAreReadInTheirUnitAndShownAgain) {
  struct Case {
    TUnitSystem record;
    std::string typed;
    std::string shown;
    short height;
    bool agreesWithWeight;  // the weight stays as the record had it
  };
  const Case cases[] = {
      {Metric, "5 ft 7 in", "5 ft 7 in", 67, false},
      {Imperial, "5 ft 7 in", "5 ft 7 in", 67, true},
      {Imperial, "72 in", "6 ft", 72, true},
      {Imperial, "12 in", "12 in", 12, true},
      {Imperial, "13 in", "1 ft 1 in", 13, true},
      {Imperial, "70", "5 ft 10 in", 70, true},  // a bare number keeps inches
      {Metric, "180", "180 cm", 180, true},      // ... or centimetres
      {Imperial, "180 cm", "180 cm", 180, false},
      {Metric, "  182   cm ", "182 cm", 182, true},
  };
  for (const Case& c : cases) {
    TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
    patient.Unit = static_cast<int>(c.record);
    patient.Height = c.record == Imperial ? 66 : 170;
    patient.Weight = c.record == Imperial ? 150 : 70;
    Database.Rows.clear();
    TPatientSheet& sheet = ShowPatient({}, patient);
    TypeAndLeave(Height, c.typed);
    EXPECT_EQ(sheet.GetText(Height), c.shown) << c.typed;
    EXPECT_EQ(sheet.GetHeight(), c.height) << c.typed;
    EXPECT_EQ(sheet.VerifyUnitOfMeasurements(), c.agreesWithWeight) << c.typed;
    EXPECT_EQ(sheet.GetUpDownPosition(HeightUpDown), c.height) << c.typed;
  }
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientFieldsTest, AnUnreadableHeightOrWeightShowsExamplesOfTheRecordUnit) {
  struct Case {
    TUnitSystem record;
    int id;
    std::string typed;
    std::string examples;
  };
  const Case cases[] = {
      {Metric, Height, "1,80", "\n\t- 175 [cm]."},
      {Imperial, Height, "1,80", "\n\t- 9 ft 12 in,\n\t- 9 ft,\n\t- 120 [in]."},
      {Metric, Height, "17a5", "\n\t- 175 [cm]."},
      {Metric, Height, "-170", "\n\t- 175 [cm]."},
      {Metric, Weight, "70,5", "\n\t- 60 [kg]."},
      {Imperial, Weight, "heavy", "\n\t- 30 [lb]."},
  };
  for (const Case& c : cases) {
    TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
    patient.Unit = static_cast<int>(c.record);
    Database.Rows.clear();
    Sink.Messages.clear();
    TPatientSheet& sheet = ShowPatient({}, patient);
    const short height = sheet.GetHeight();
    TypeAndLeave(c.id, c.typed);
    EXPECT_EQ(Shown(), std::vector<std::string>{Text(239) + c.examples}) << c.typed;
    EXPECT_EQ(LastFocus(), c.id) << c.typed;
    EXPECT_EQ(sheet.GetText(c.id), c.typed);  // left for the user to correct
    EXPECT_FALSE(SaveEnabled()) << c.typed;
    if (c.id == Height) {
      EXPECT_EQ(sheet.GetUpDownPosition(HeightUpDown), height);
    }
  }
}

TEST_F(PatientFieldsTest, WeightsKeepTheirUnitAndMustMatchTheHeight) {
  TPatientSheet& sheet = ShowPatient();
  TypeAndLeave(Height, "70 in");
  TypeAndLeave(Weight, "150 lb");
  EXPECT_EQ(sheet.GetText(Weight), "150 lb");
  EXPECT_TRUE(sheet.VerifyUnitOfMeasurements());
  EXPECT_TRUE(SaveEnabled());
  // The record takes the unit in which the height was entered.
  EXPECT_EQ(sheet.GetRecordUnit(), Imperial);

  TypeAndLeave(Weight, "68 kg");
  TypeAndLeave(Height, "6 ft");
  EXPECT_FALSE(sheet.VerifyUnitOfMeasurements());
  EXPECT_FALSE(SaveEnabled());
  TypeAndLeave(Weight, "150");  // a bare number keeps kilograms
  EXPECT_EQ(sheet.GetText(Weight), "150 kg");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientFieldsTest, UpDownsStepHeightAndWeightInTheirUnits) {
  TPatientFields patient = Patient("John Smith", "B-7", "1960.01.02.");
  patient.Unit = 1;
  patient.Height = 67;
  patient.Weight = 199;
  TPatientSheet& sheet = ShowPatient({}, patient);
  sheet.TUpDownHeight(1);
  EXPECT_EQ(sheet.GetText(Height), "5 ft 8 in");
  sheet.TUpDownWeight(5);  // the weight range ends at 200
  EXPECT_EQ(sheet.GetText(Weight), "200 lb");
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_TRUE(Database.Locked);
}

TEST_F(PatientFieldsTest, DatesMustBeReadableInThePicture) {
  TPatientSheet& sheet = ShowPatient();
  TypeAndLeave(Date, "2001.02.31.");  // no calendar check
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_EQ(sheet.GetText(Age), "23");

  for (const std::string typed : {"2001.13.01.", "0999.01.01.", "20.3.1950", "2001.02.31"}) {
    Sink.Messages.clear();
    TypeAndLeave(Date, typed);
    EXPECT_EQ(Shown(), std::vector<std::string>{UnreadableDate(typed)});
    EXPECT_EQ(LastFocus(), Date);
  }
  // The refused dates never reached the patient.
  PREDICTED_DATA block;
  sheet.FillPatientData(block);
  EXPECT_EQ(block.BirthYear, 2001);
  EXPECT_EQ(block.BirthMonth, 2);
  EXPECT_EQ(block.BirthDay, 31);
}

TEST_F(PatientFieldsTest, TheDatePictureOfTheDatabaseDecidesTheOrder) {
  TPatientSheet& sheet = ShowPatient({.DatePicture = "DD/MM/YYYY"}, Patient("Anna Kovacs", "A-100", "20/05/1980"));
  EXPECT_EQ(sheet.GetText(Age), "44");
  TypeAndLeave(Date, "1980.05.20.");
  EXPECT_EQ(Shown(), std::vector<std::string>{"The date \"1980.05.20.\" cannot be read.\nPlease type the date in this "
                                              "form: DD/MM/YYYY"});
}

TEST_F(PatientFieldsTest, ASevenCharacterIdentifierGivesBirthDateSexAndAge) {
  TPatientSheet& sheet = ShowPatient({.TypeOfId = true});
  TypeAndLeave(Identifier, "1850315");
  EXPECT_EQ(sheet.GetText(Date), "1985.03.15.");
  EXPECT_EQ(sheet.GetSex(), 1);
  EXPECT_EQ(sheet.GetText(Age), "39");  // 15 June 2024, the birthday in March has passed

  TypeAndLeave(Identifier, "2850715");
  EXPECT_EQ(sheet.GetText(Date), "1985.07.15.");
  EXPECT_EQ(sheet.GetSex(), 0);
  EXPECT_EQ(sheet.GetText(Age), "38");

  // Six or eight characters, or no date in them, leave birth date and sex alone.
  for (const std::string id : {"185031", "18503150", "1851315"}) {
    TypeAndLeave(Identifier, id);
    EXPECT_EQ(sheet.GetText(Date), "1985.07.15.") << id;
    EXPECT_EQ(sheet.GetSex(), 0) << id;
  }
}

TEST_F(PatientFieldsTest, WithoutTheIdentifierSettingTheIdentifierIsJustText) {
  TPatientSheet& sheet = ShowPatient({.TypeOfId = false});
  TypeAndLeave(Identifier, "1850315");
  EXPECT_EQ(sheet.GetText(Date), "1980.05.20.");
  EXPECT_EQ(sheet.GetSex(), 0);
}

TEST_F(PatientFieldsTest, TheBirthDateFromTheIdentifierIsNeverShownUnderAnotherDate) {
  TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
  patient.Dates[1] = "2020.01.01.";
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full, .TypeOfId = true}, patient);
  sheet.TChangeDate(1);
  EXPECT_EQ(sheet.GetText(Date), "2020.01.01.");
  TypeAndLeave(Identifier, "1850315");
  EXPECT_EQ(sheet.GetTabPage(DateTab), 0);
  EXPECT_EQ(sheet.GetText(Date), "1985.03.15.");
  const TPatientFields record = sheet.GetPatientRec();
  EXPECT_EQ(record.Dates[0], "1985.03.15.");
  EXPECT_EQ(record.Dates[1], "2020.01.01.");
}

TEST_F(PatientFieldsTest, TabsKeepTheirPagesAndASwitchChangesNothing) {
  TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
  patient.Addresses[1].City = "Workplace City";
  patient.Ids[1] = "SECOND";
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full}, patient);

  sheet.TChangeAddress(1);
  sheet.TChangeID(1);
  sheet.TChangeDate(2);
  EXPECT_EQ(sheet.GetText(City), "Workplace City");
  EXPECT_EQ(sheet.GetText(Identifier), "SECOND");
  EXPECT_EQ(sheet.GetText(Date), "");
  EXPECT_FALSE(sheet.IsModified());
  EXPECT_FALSE(Database.Locked);

  // Each page keeps what was typed on it.
  TypeAndLeave(City, "Third City");
  sheet.TChangeAddress(2);
  TypeAndLeave(City, "Other City");
  sheet.TChangeAddress(0);
  EXPECT_EQ(sheet.GetText(City), "");
  TypeAndLeave(City, "Home City");
  const TPatientFields record = sheet.GetPatientRec();
  EXPECT_EQ(record.Addresses[0].City, "Home City");
  EXPECT_EQ(record.Addresses[1].City, "Third City");
  EXPECT_EQ(record.Addresses[2].City, "Other City");
  EXPECT_EQ(record.Ids[0], "A-100");
  EXPECT_EQ(record.Ids[1], "SECOND");
  EXPECT_TRUE(sheet.IsModified());
}

TEST_F(PatientFieldsTest, ATabSwitchIsRefusedWhileItsFieldIsWrong) {
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full});
  // An invalid date keeps the date tab where it is.
  Type(Date, "2001.13.01.");
  sheet.TChangeDate(1);
  EXPECT_EQ(sheet.GetTabPage(DateTab), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{UnreadableDate("2001.13.01.")});

  // An empty first identifier keeps the identifier tab on it.
  Sink.Messages.clear();
  Type(Identifier, "");
  sheet.TChangeID(1);
  EXPECT_EQ(sheet.GetTabPage(IdentifierTab), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)});
}

TEST_F(PatientFieldsTest, AClearedOptionalDateStaysClearedAcrossPages) {
  TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
  patient.Dates[1] = "2020.01.01.";
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full}, patient);
  sheet.TChangeDate(1);
  Type(Date, "");
  sheet.TChangeDate(0);
  sheet.TChangeDate(1);
  EXPECT_EQ(sheet.GetText(Date), "");
  EXPECT_EQ(sheet.GetPatientRec().Dates[1], "");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientFieldsTest, TheFirstIdentifierIsRequiredWhateverPageIsShown) {
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Full});
  sheet.CmPatientNew();
  TypeAndLeave(Name, "Bela Nagy");
  // Leaving the empty first identifier for the second is refused.
  sheet.TChangeID(1);
  EXPECT_EQ(sheet.GetTabPage(IdentifierTab), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{Text(272)});

  TypeAndLeave(Identifier, "B-1");
  sheet.TChangeID(1);
  ASSERT_EQ(sheet.GetTabPage(IdentifierTab), 1);
  TypeAndLeave(Identifier, "SECOND");
  TypeAndLeave(Date, "1970.01.01.");
  EXPECT_TRUE(SaveEnabled());
  const TPatientFields record = sheet.GetPatientRec();
  EXPECT_EQ(record.Ids[0], "B-1");
  EXPECT_EQ(record.Ids[1], "SECOND");
}

TEST_F(PatientFieldsTest, OnTheSecondIdentifierSaveStillNeedsTheFirst) {
  // An empty table shows a new patient that is not yet changed: its first
  // identifier is the placeholder, and the tab may be switched.
  TPatientSheet& sheet = StartSheet({.Layout = TPageLayout::Full});
  sheet.SetTreatingDoctorKey(1);
  sheet.TChangeID(1);
  ASSERT_EQ(sheet.GetTabPage(IdentifierTab), 1);
  TypeAndLeave(Identifier, "SECOND");
  TypeAndLeave(Name, "Bela Nagy");
  TypeAndLeave(Date, "1970.01.01.");
  EXPECT_TRUE(sheet.IsModified());
  EXPECT_FALSE(SaveEnabled());
  sheet.TChangeID(0);
  EXPECT_EQ(sheet.GetText(Identifier), Text(394));
  TypeAndLeave(Identifier, "B-1");
  EXPECT_TRUE(SaveEnabled());
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientFieldsTest, FieldGroupsSwitchOnlyTheControlsOfTheLayout) {
  TPatientSheet& sheet = ShowPatient({.Layout = TPageLayout::Small});
  View.Changed.clear();
  sheet.ChangeAllFieldsState(false);
  for (const TPatientControl& control : PatientControls())
    EXPECT_EQ(sheet.IsEnabled(control.Id), !control.In(TPageLayout::Small)) << control.Id;
  EXPECT_EQ(View.Changed, FieldGroup(TFieldGroup::All, TPageLayout::Small));

  sheet.ChangeAllFieldsState(true);
  sheet.ChangeDiedOrMoveOutFieldsState(false);
  EXPECT_TRUE(sheet.IsEnabled(Date));
  EXPECT_TRUE(sheet.IsEnabled(BirthDateLabel));
  EXPECT_FALSE(sheet.IsEnabled(Name));
  sheet.ChangeDiedOrMoveOutFieldsState(true);
  sheet.ChangePredictedFieldsState(false);
  EXPECT_FALSE(sheet.IsEnabled(Date));
  EXPECT_FALSE(sheet.IsEnabled(TreatingDoctor));
}

}  // namespace
