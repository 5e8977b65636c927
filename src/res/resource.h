#pragma once
// Resource numbers and control identifiers of Taplore's dialogs.

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_DESIGN_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;

constexpr int IDC_LIST_COEF = 1000;
constexpr int IDC_STATIC_ORDER = 1017;
constexpr int IDC_STATIC_RATE = 1018;
constexpr int IDC_EDIT_ORDER = 1019;
constexpr int IDC_SLIDER_LOW = 1020;
constexpr int IDC_SLIDER_HIGH = 1021;
constexpr int IDC_CALCULATE = 1022;
constexpr int IDC_SAVE = 1023;
constexpr int IDC_EDIT_SAMPLE_RATE = 1024;
constexpr int IDC_STATIC_COEF = 1025;
constexpr int IDC_SPECTRUM_FRAME = 1026;
constexpr int IDC_GROUP_CUTOFF = 1027;
constexpr int IDC_LABEL_LOW = 1028;
constexpr int IDC_LABEL_HIGH = 1029;
constexpr int IDC_GROUP_SPECTRUM = 1030;

constexpr unsigned IDM_ABOUTBOX = 0x0010;

// The string table; an empty text for numbers it does not hold.
const char* FindStringResource(int id);
// The Qt resource paths of an icon's 16 x 16 and 32 x 32 images.
struct IconResource {
    const char* small;
    const char* large;
};
IconResource FindIconResource(int id);

// The version block; the desktop entry carries the same names.
namespace version {
constexpr const char* kFileVersion = "1.0.0.1";
constexpr const char* kInternalName = "Taplore";
constexpr const char* kDesktopEntry = "taplore";
} // namespace version
