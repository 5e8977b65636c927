#include "platform/dialog_template.h"
#include "res/resource.h"

#include <stdexcept>

namespace {

// "MS Serif" and "MS Sans Serif" have no Linux counterparts; DejaVu's faces stand in.
constexpr const char* kSerifFace = "DejaVu Serif";
constexpr const char* kSansFace = "DejaVu Sans";

const DialogTemplate kAboutBox{
    IDD_ABOUTBOX,
    "About Taplore",
    200,
    84,
    kSansFace,
    10,
    false,
    {
        {-1, ControlKind::icon, "128", 20, 14, 16, 16, styleNone},
        {1, ControlKind::pushButton, "OK", 10, 40, 32, 14, styleDefaultButton | styleTabStop},
        {-1, ControlKind::text,
         "FIR filter design program\n\nAuthor : The Taplore developers\n"
         "Email: taplore@example.org\nWeb: https://taplore.example.org",
         48, 12, 146, 66, styleBorder},
    },
};

const DialogTemplate kDesignDialog{
    IDD_DESIGN_DIALOG,
    "FIR Filter Design",
    284,
    164,
    kSerifFace,
    10,
    true,
    {
        {IDC_SPECTRUM_FRAME, ControlKind::frame, "", 25, 10, 180, 80, styleCentred},
        {IDC_LIST_COEF, ControlKind::listBox, "", 220, 10, 60, 104, styleBorder | styleTabStop},
        {IDC_EDIT_ORDER, ControlKind::edit, "", 140, 138, 15, 12,
         styleCentred | styleDigitsOnly | styleBorder | styleTabStop},
        {IDC_STATIC_ORDER, ControlKind::text, "Filter Order", 124, 128, 46, 8, styleCentred},
        {IDC_SLIDER_LOW, ControlKind::trackbar, "Slider1", 20, 95, 190, 10, styleTabStop},
        {IDC_SLIDER_HIGH, ControlKind::trackbar, "Slider1", 20, 105, 190, 10,
         styleTicksOnTop | styleTabStop},
        {IDC_CALCULATE, ControlKind::pushButton, "Calculate", 174, 138, 50, 14,
         styleDefaultButton | styleTabStop},
        {IDC_SAVE, ControlKind::pushButton, "Save", 228, 138, 50, 14, styleTabStop},
        {IDC_GROUP_CUTOFF, ControlKind::groupBox, "Cutoff Frequency", 10, 128, 65, 25, styleNone},
        {IDC_LABEL_LOW, ControlKind::text, "0.2", 15, 137, 25, 10, styleCentred | styleBorder},
        {IDC_LABEL_HIGH, ControlKind::text, "0.5", 45, 137, 25, 10, styleCentred | styleBorder},
        {IDC_GROUP_SPECTRUM, ControlKind::groupBox, "Log-Magnitude Spectrum", 16, 0, 200, 120,
         styleNone},
        {IDC_EDIT_SAMPLE_RATE, ControlKind::edit, "", 90, 138, 23, 12,
         styleCentred | styleDigitsOnly | styleBorder | styleTabStop},
        {IDC_STATIC_RATE, ControlKind::text, "Sampling Rate", 82, 128, 40, 8, styleCentred},
        {IDC_STATIC_COEF, ControlKind::text, "Filter Coefficients", 224, 0, 54, 8, styleCentred},
    },
};

} // namespace

const DialogTemplate& FindDialogTemplate(int id) {
    if (id == IDD_ABOUTBOX)
        return kAboutBox;
    if (id == IDD_DESIGN_DIALOG)
        return kDesignDialog;
    throw std::invalid_argument("no dialog template with this number");
}

const char* FindStringResource(int id) {
    return id == IDS_ABOUTBOX ? "&About Taplore..." : "";
}

IconResource FindIconResource(int /*id*/) {
    return {":/icons/taplore-16.png", ":/icons/taplore-32.png"};
}
