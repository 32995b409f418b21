// The resources as the Windows resource compiler builds them into the program, read back through
// the system: dialog templates as laid out in the shared layout table, the art in the forms the
// wizard asks for, a clip the animation control plays, the manifest and the version block.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/win32api.h"
#include "resources/dialogtemplate.h"
#include "resources/resource.h"

namespace {

std::span<const BYTE> ResourceBytes(LPCSTR type, WORD id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return {data, SizeofResource(module, found)};
}

// Window class names are matched without regard to case; the resource compiler writes them in
// capitals.
std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return text;
}

// A reader of the extended dialog template, the form DIALOGEX compiles to.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    template <typename T>
    T Read() {
        T value{};
        if (m_offset + sizeof value <= m_bytes.size()) {
            std::memcpy(&value, m_bytes.data() + m_offset, sizeof value);
        }
        m_offset += sizeof value;
        return value;
    }
    // A string, or 0xFFFF and an ordinal, which comes back as "#ordinal".
    std::string ReadNameOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Read<WORD>();
            return "#" + std::to_string(Read<WORD>());
        }
        std::string text;
        for (WORD c = Read<WORD>(); c != 0 && m_offset <= m_bytes.size(); c = Read<WORD>()) {
            text += c == L'\n' ? '\n' : static_cast<char>(c);
        }
        return text;
    }
    void AlignToDword() { m_offset = (m_offset + 3) & ~std::size_t{3}; }
    void Skip(std::size_t count) { m_offset += count; }

private:
    WORD Peek() const {
        WORD value = 0;
        if (m_offset + sizeof value <= m_bytes.size()) {
            std::memcpy(&value, m_bytes.data() + m_offset, sizeof value);
        }
        return value;
    }
    std::span<const BYTE> m_bytes;
    std::size_t m_offset = 0;
};

struct CompiledControl {
    DWORD style;
    int x, y, width, height, id;
    std::string windowClass, text;
};

struct CompiledDialog {
    DWORD style;
    int width, height;
    WORD pointSize;
    std::string font;
    std::vector<CompiledControl> controls;
};

CompiledDialog ReadDialog(WORD id) {
    TemplateReader reader(ResourceBytes(RT_DIALOG, id));
    CompiledDialog dialog{};
    EXPECT_EQ(reader.Read<WORD>(), 1) << "an extended template";
    EXPECT_EQ(reader.Read<WORD>(), 0xFFFF);
    reader.Skip(8);  // help id, extended style
    dialog.style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    reader.Skip(4);  // position
    dialog.width = reader.Read<short>();
    dialog.height = reader.Read<short>();
    reader.ReadNameOrOrdinal();  // menu
    reader.ReadNameOrOrdinal();  // class
    reader.ReadNameOrOrdinal();  // caption
    dialog.pointSize = reader.Read<WORD>();
    reader.Skip(4);  // weight, italic, character set
    dialog.font = reader.ReadNameOrOrdinal();
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        CompiledControl control{};
        reader.Skip(8);  // help id, extended style
        control.style = reader.Read<DWORD>();
        control.x = reader.Read<short>();
        control.y = reader.Read<short>();
        control.width = reader.Read<short>();
        control.height = reader.Read<short>();
        control.id = static_cast<int>(reader.Read<DWORD>());
        control.windowClass = reader.ReadNameOrOrdinal();
        control.text = reader.ReadNameOrOrdinal();
        reader.Skip(reader.Read<WORD>());  // creation data
        dialog.controls.push_back(control);
    }
    return dialog;
}

TEST(CompiledDialogs, FollowTheLayoutTable) {
    for (int id : {IDD_WELCOME, IDD_INSTALLING, IDD_FINISH, IDD_TESTING, IDD_DANTE}) {
        SCOPED_TRACE(id);
        const DialogTemplate* layout = FindDialogTemplate(id);
        ASSERT_NE(layout, nullptr);
        const CompiledDialog dialog = ReadDialog(static_cast<WORD>(id));
        EXPECT_EQ(dialog.width, layout->width);
        EXPECT_EQ(dialog.height, layout->height);
        EXPECT_EQ(dialog.font, "MS Sans Serif");
        EXPECT_EQ(dialog.pointSize, 8);
        // A property page: a disabled child with a caption bar the sheet takes away.
        EXPECT_EQ(dialog.style & (WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT),
                  static_cast<DWORD>(WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT));
        ASSERT_EQ(dialog.controls.size(), layout->controls.size());
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const CompiledControl& compiled = dialog.controls[i];
            const DialogControl& expected = layout->controls[i];
            EXPECT_EQ(compiled.id, expected.id);
            EXPECT_EQ(compiled.x, expected.x);
            EXPECT_EQ(compiled.y, expected.y);
            EXPECT_EQ(compiled.width, expected.width);
            EXPECT_EQ(compiled.height, expected.height);
            EXPECT_NE(compiled.style & WS_VISIBLE, 0u);
            switch (expected.kind) {
                case DialogControl::Kind::Text:
                    EXPECT_EQ(compiled.windowClass, "#130");  // the static control
                    EXPECT_EQ(compiled.text, expected.text);
                    break;
                case DialogControl::Kind::Animation:
                    EXPECT_EQ(Upper(compiled.windowClass), Upper(ANIMATE_CLASSA));
                    EXPECT_EQ(compiled.style & (ACS_CENTER | ACS_TRANSPARENT),
                              static_cast<DWORD>(ACS_CENTER | ACS_TRANSPARENT));
                    break;
                case DialogControl::Kind::ProgressBar:
                    EXPECT_EQ(Upper(compiled.windowClass), Upper(PROGRESS_CLASSA));
                    EXPECT_NE(compiled.style & WS_BORDER, 0u);
                    break;
            }
        }
    }
}

TEST(Art, IconHoldsThreeSizesInThreeDepths) {
    const auto group = ResourceBytes(RT_GROUP_ICON, IDI_APP);
    ASSERT_GE(group.size(), 6u);
    WORD count;
    std::memcpy(&count, group.data() + 4, sizeof count);
    ASSERT_EQ(count, 9);
    ASSERT_GE(group.size(), 6u + 14u * count);
    std::set<std::pair<int, int>> images;  // (pixels, bits per pixel)
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group.data() + 6 + 14 * i;
        WORD bitCount;
        std::memcpy(&bitCount, entry + 6, sizeof bitCount);
        images.insert({entry[0] == 0 ? 256 : entry[0], bitCount});
    }
    for (int pixels : {48, 32, 16}) {
        for (int bits : {4, 8, 32}) {
            EXPECT_EQ(images.count({pixels, bits}), 1u) << pixels << " px at " << bits << " bpp";
        }
    }
    // The system picks from the group as it does for the window and the taskbar.
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP),
                                               IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
}

// One of each for 100 %, 150 % and 200 %: the sheet shows them without stretching.
TEST(Art, WizardBitmapsHaveTheirSizesAtEachScale) {
    struct {
        WORD id;
        LONG width, height;
    } const bitmaps[] = {
        {IDB_WATERMARK, 164, 628}, {IDB_WATERMARK_150, 246, 942}, {IDB_WATERMARK_200, 328, 1256},
        {IDB_HEADER, 49, 49},      {IDB_HEADER_150, 74, 74},      {IDB_HEADER_200, 98, 98},
    };
    for (const auto& expected : bitmaps) {
        SCOPED_TRACE(expected.id);
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(expected.id),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBmih.biWidth, expected.width);
        EXPECT_EQ(section.dsBmih.biHeight, expected.height);
        EXPECT_EQ(section.dsBmih.biBitCount, 24);
        DeleteObject(bitmap);
    }
}

TEST(Art, BusyClipOpensInTheAnimationControl) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_ANIMATE_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, "", ACS_CENTER | ACS_TRANSPARENT, 0, 0, 300,
                                     60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(SendMessageA(animation, ACM_OPENA,
                             reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                             reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_BUSY_AVI))));
    EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)));
    SendMessageA(animation, ACM_STOP, 0, 0);
    // A clip the control cannot read is refused rather than shown broken.
    EXPECT_FALSE(SendMessageA(animation, ACM_OPENA,
                              reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                              reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_CODE_IMAGE))));
    DestroyWindow(animation);
}

TEST(ProgramManifest, AsksForCommonControlsSixWithTheCallersRights) {
    const auto bytes = ResourceBytes(RT_MANIFEST, 1);
    const std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

// Per-monitor v2 where the system knows it, else system awareness: the dpiAwareness list's
// fallback, and dpiAware for systems that read only that; both in the application's
// windowsSettings, each in its own namespace. The system stretches a program that declares neither,
// and its text blurs. Wine runs every program aware (and does not tell v2 from v1), so only the
// text can be checked.
TEST(ProgramManifest, DeclaresPerMonitorV2WithSystemAwarenessAsTheFallback) {
    const auto bytes = ResourceBytes(RT_MANIFEST, 1);
    const std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::string settings =
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
        "    <windowsSettings>\n"
        "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true"
        "</dpiAware>\n"
        "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, system</dpiAwareness>\n"
        "    </windowsSettings>\n"
        "  </application>";
    EXPECT_NE(manifest.find(settings), std::string::npos) << manifest;
}

TEST(ProgramVersion, NamesTheWizard) {
    const auto bytes = ResourceBytes(RT_VERSION, 1);
    ASSERT_FALSE(bytes.empty());
    std::vector<BYTE> block(bytes.begin(), bytes.end());
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &fixed, &length));
    EXPECT_EQ(static_cast<VS_FIXEDFILEINFO*>(fixed)->dwFileType, static_cast<DWORD>(VFT_APP));
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "setup.exe");
}

}  // namespace
