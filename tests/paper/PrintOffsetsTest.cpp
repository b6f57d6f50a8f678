// Print offsets kept per printer: what a settings file holds is brought into range, and a job
// takes the offset of the printer it prints on.
#include <gtest/gtest.h>

#include "BaseOptions.h"
#include "FakePrinters.h"
#include "PrintOffsets.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

TEST(PrintOffsets, StoredValuesAreClampedAndTypedOnesChecked) {
  ConfigHome config;
  auto store = TSettingsStore::OpenRegistry("KaedeAddress");
  store->WriteString(kPrintOffsetSection, "wide", "25,-0.04");
  store->WriteString(kPrintOffsetSection, "junk", "left,up");
  store->WriteString(kPrintOffsetSection, "inf", "inf,1");
  EXPECT_EQ(ReadPrintOffset(*store, "wide"), (TPrintOffset{10, 0}));  // no -0 either
  EXPECT_EQ(ReadPrintOffset(*store, "junk"), TPrintOffset{});
  EXPECT_EQ(ReadPrintOffset(*store, "inf"), TPrintOffset{});
  EXPECT_EQ(ReadPrintOffset(*store, "none"), TPrintOffset{});
  WritePrintOffset(*store, "card printer", {1.26, -0.7});
  EXPECT_EQ(store->ReadString(kPrintOffsetSection, "card printer", ""), "1.3,-0.7");
  WritePrintOffset(*store, "card printer", {});  // no offset keeps no key
  EXPECT_FALSE(store->ValueExists(kPrintOffsetSection, "card printer"));

  TPrintOffset o;
  EXPECT_TRUE(ParsePrintOffset(" -2.04, 10", o));
  EXPECT_EQ(o, (TPrintOffset{-2, 10}));
  for (const char* bad : {"10.1,0", "1", "1;2", ",", "1,x"}) EXPECT_FALSE(ParsePrintOffset(bad, o)) << bad;
}

TEST(PrintOffsets, AJobTakesItsPrintersOffsetOrTheOneGivenForIt) {
  ConfigHome config;
  {
    auto store = TSettingsStore::OpenRegistry("KaedeAddress");
    WritePrintOffset(*store, "Card", {1.5, -0.5});
    WritePrintOffset(*store, "PDF", {3, 3});
    store->Save();
  }
  auto backend = std::make_unique<TFakePrinterBackend>();
  backend->Devices = {TFakePrinter::Standard("Plain"), TFakePrinter::Standard("Card"), TFakePrinter::Standard("PDF")};
  TSheetPrinter printer(std::move(backend));
  auto* fake = static_cast<TFakePrinterBackend*>(printer.Backend());
  EXPECT_EQ(JobPrintOffset(printer), TPrintOffset{});
  fake->Current = 1;
  EXPECT_EQ(JobPrintOffset(printer), (TPrintOffset{1.5, -0.5}));
  fake->Current = 2;  // the PDF writer takes none unless asked
  EXPECT_EQ(JobPrintOffset(printer), TPrintOffset{});
  SetPrintOffsetOverride(TPrintOffset{-1, 2});
  EXPECT_EQ(JobPrintOffset(printer), (TPrintOffset{-1, 2}));
  SetPrintOffsetOverride(std::nullopt);
}
