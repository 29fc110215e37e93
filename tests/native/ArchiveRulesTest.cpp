// Extension rules of the archive families and the cabinet signature search.
#include "archive/ArchiveRules.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ArchiveKindByExtension, NamesTheFamilyIgnoringCase) {
    EXPECT_EQ(ArchiveKind::Lzh, ArchiveKindByExtension("C:\\a\\backup.LZH"));
    EXPECT_EQ(ArchiveKind::Cab, ArchiveKindByExtension("x.Cab"));
    for (const char* p :
         {"d.tar", "d.taz", "data.tar.gz", "data.gz", "d.Z", "d.z", "d.tgz", "d.bz2"})
        EXPECT_EQ(ArchiveKind::Tar, ArchiveKindByExtension(p)) << p;
    EXPECT_EQ(ArchiveKind::Arj, ArchiveKindByExtension("x.arj"));
    EXPECT_EQ(ArchiveKind::Rar, ArchiveKindByExtension("x.rAr"));
    EXPECT_EQ(ArchiveKind::Zip, ArchiveKindByExtension("x.zip"));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("setup.exe"));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension(""));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("readme"));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("x.lzh.txt"));
    for (const char* p : {"x.zipx", "x.gzip", "x.lz", "x.", "x.tar2"})
        EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension(p)) << p;
}

TEST(ArchiveKindByExtension, DotsInFolderNamesAreNotExtensions) {
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("C:\\v1.zip\\readme"));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("A.ZIP:stream"));
    EXPECT_EQ(ArchiveKind::Zip, ArchiveKindByExtension("C:\\v1.lzh\\a.zip"));
}

TEST(ArchiveKindByExtension, DoubleByteNamesKeepTheirTrailBytes) {
    // "表" is 95 5C: its trail byte is a backslash and must not end the name.
    EXPECT_EQ(ArchiveKind::Lzh, ArchiveKindByExtension("C:\\表.lzh"));
    EXPECT_EQ(ArchiveKind::Lzh, ArchiveKindByExtension("表\\.lzh"));
    // A trail byte that looks like "Z" or "z" (0x5A/0x7A) is no letter to fold: ".ｚ" is
    // a full-width letter, not ".z".
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("a.\x82\x9a"));
    EXPECT_EQ(ArchiveKind::None, ArchiveKindByExtension("a.\x82\x5a"));
    // "ソ" is 83 5C, and "." after it belongs to the name.
    EXPECT_EQ(ArchiveKind::Cab, ArchiveKindByExtension("ソ.cab"));
}

TEST(IsArchiveByExtension, AcceptsWhatALibraryCouldNotCheckWhenEmpty) {
    for (const char* p : {"x.zip", "x.tgz", "x.exe", "x.LZH", "x.cab", "x.gz"})
        EXPECT_TRUE(IsArchiveByExtension(p)) << p;
    for (const char* p : {"x.rar", "x.arj", "x.txt", "x", ""})
        EXPECT_FALSE(IsArchiveByExtension(p)) << p;
}

TEST(QuickTestLibrary, GuardsEachExtensionByItsLibrary) {
    EXPECT_EQ(ArchiverLibrary::Unlha, QuickTestLibrary("a.LZH"));
    EXPECT_EQ(ArchiverLibrary::Unzip, QuickTestLibrary("a.zip"));
    EXPECT_EQ(ArchiverLibrary::Unarj, QuickTestLibrary("a.arj"));
    EXPECT_EQ(ArchiverLibrary::Tar, QuickTestLibrary("data.bz2"));
    EXPECT_EQ(ArchiverLibrary::Tar, QuickTestLibrary("a.Z"));
    EXPECT_EQ(ArchiverLibrary::Cab, QuickTestLibrary("a.cab"));
    EXPECT_EQ(ArchiverLibrary::Unrar, QuickTestLibrary("a.rar"));
    EXPECT_FALSE(QuickTestLibrary("a.exe").has_value());
    EXPECT_FALSE(QuickTestLibrary("a.txt").has_value());
    EXPECT_STREQ("unrar32.dll", ArchiverLibraryFile(ArchiverLibrary::Unrar));
}

namespace {
std::vector<std::uint8_t> ScanBuffer() {
    return std::vector<std::uint8_t>(kCabinetScanBuffer, 0);
}
void Put(std::vector<std::uint8_t>& b, std::size_t at, const char* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        b[at + i] = static_cast<std::uint8_t>(text[i]);
}
} // namespace

TEST(MayReadDuringDrag, NotFilesAwayFromTheDiskNorPathsTooLongForTheLibraries) {
    EXPECT_TRUE(MayReadDuringDrag(259, 0x20));           // archive bit
    EXPECT_TRUE(MayReadDuringDrag(10, 0x1 | 0x2 | 0x4)); // read-only, hidden, system
    EXPECT_FALSE(MayReadDuringDrag(260, 0x20));
    EXPECT_FALSE(MayReadDuringDrag(10, 0x1000));   // offline
    EXPECT_FALSE(MayReadDuringDrag(10, 0x40000));  // recall on open
    EXPECT_FALSE(MayReadDuringDrag(10, 0x400000)); // recall on data access: a cloud placeholder
    EXPECT_TRUE(MayReadDuringDrag(10, 0x80000));   // pinned: kept on the disk
}

TEST(FindCabinetSignature, FindsTheFirstFullSignature) {
    auto b = ScanBuffer();
    Put(b, 100, "MSCF\0\0\0\1", 8); // reserved field not zero: no cabinet
    Put(b, 70000, "MSCF\0\0\0\0", 8);
    Put(b, 80000, "MSCF\0\0\0\0", 8);
    EXPECT_EQ(70000u, FindCabinetSignature(b.data(), b.size()));
}

TEST(FindCabinetSignature, ReadsZerosPastTheEndOfAShortFile) {
    auto b = ScanBuffer();
    Put(b, 500, "MSCF", 4); // a 504-byte file ending in "MSCF"
    EXPECT_EQ(500u, FindCabinetSignature(b.data(), b.size()));
}

TEST(FindCabinetSignature, StopsAtTheLastScannedOffset) {
    auto b = ScanBuffer();
    Put(b, kCabinetLastOffset, "MSCF", 4);
    EXPECT_EQ(kCabinetLastOffset, FindCabinetSignature(b.data(), b.size()));
    auto c = ScanBuffer();
    Put(c, kCabinetLastOffset + 1, "MSCF", 4);
    EXPECT_FALSE(FindCabinetSignature(c.data(), c.size()).has_value());
    EXPECT_FALSE(FindCabinetSignature(c.data(), 4).has_value());
}
