// The settings dialog's archive type lists: filled with what the libraries can make, and an
// entry that cannot be allocated reported with the program's own message.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AllocationSeam.h"
#include "UiTestSupport.h"
#include "config/CoolConfigForm.h"

using namespace ui_test;

namespace {

class ArchiveTypeComboBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(types.Create(host.Handle(), 101, {10, 10, 250, 200}));
        ASSERT_TRUE(kinds.Create(host.Handle(), 102, {10, 40, 250, 200}));
    }
    HostWindow host;
    TArchiveTypeComboBox types;
    TArchiveTypeComboBox kinds;
    const config::LibraryPresence all{true, true, true, true, true, true};
};

} // namespace

TEST_F(ArchiveTypeComboBoxTest, ListsWhatTheLibrariesCanMake) {
    types.FillArchiveTypes(all, 4);
    ASSERT_EQ(10, types.Count());
    EXPECT_EQ("Lha 書庫", types.Item(0));
    EXPECT_EQ("Zip 自己解凍書庫", types.Item(3));
    EXPECT_EQ("Compress形式", types.Item(9));
    EXPECT_EQ(4, types.Entries()[1].sfxMode);
    kinds.FillLhaSfxKinds(true);
    ASSERT_EQ(5, kinds.Count());
    EXPECT_EQ("Win32用 SfxM", kinds.Item(4));
    kinds.FillLhaSfxKinds(false);
    EXPECT_EQ(0, kinds.Count());
}

// Each allocation of the filling refused in turn: every one is reported as "メモリ不足です",
// never in the library's own words, and leaves an empty list; the first filling that meets no
// refusal is whole.
TEST_F(ArchiveTypeComboBoxTest, AnEntryThatCannotBeAllocatedIsReportedInJapanese) {
    for (bool sfxKinds : {false, true}) {
        SCOPED_TRACE(sfxKinds ? "Lha self-extractor kinds" : "archive types");
        TArchiveTypeComboBox& box = sfxKinds ? kinds : types;
        int refusals = 0;
        for (long nth = 1; nth < 200; ++nth) {
            std::string message;
            bool refused = false;
            {
                testing_support::AllocationFailure failure(nth);
                try {
                    if (sfxKinds)
                        box.FillLhaSfxKinds(true);
                    else
                        box.FillArchiveTypes(all, 4);
                } catch (const std::exception& error) {
                    message = error.what();
                }
                refused = failure.Happened();
            }
            if (!refused) {
                EXPECT_EQ("", message);
                EXPECT_EQ(sfxKinds ? 5 : 10, box.Count());
                break;
            }
            ++refusals;
            EXPECT_EQ("メモリ不足です", message) << "allocation " << nth;
            EXPECT_EQ(0, box.Count()) << "allocation " << nth;
            EXPECT_TRUE(box.Entries().empty());
        }
        // The list itself and the captions that do not fit in place.
        EXPECT_GE(refusals, sfxKinds ? 1 : 5);
    }
}
