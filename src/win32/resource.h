// The numbers of Taplore's Windows resources and dialog controls, shared by the resource script
// and the code. Plain #defines: the resource compiler reads this file too.
#pragma once

// Dialog templates; 100 and 102 also pick the manual's section F1 opens.
#define IDD_ABOUTBOX 100
#define IDD_DESIGN 102
#define IDD_PROGRESS 103

#define IDR_MAINFRAME 128 // the program icon
#define IDS_ABOUTBOX 101  // the About entry's text in the system menu
#define IDR_MANUAL 200    // the manual F1 shows, as UTF-8 Markdown

// The design dialog's controls.
#define IDC_LIST_COEF 1000
#define IDC_CAPTION_ORDER 1017
#define IDC_CAPTION_RATE 1018
#define IDC_EDIT_ORDER 1019
#define IDC_SLIDER_LOW 1020
#define IDC_SLIDER_HIGH 1021
#define IDC_CALCULATE 1022
#define IDC_SAVE 1023
#define IDC_EDIT_RATE 1024
#define IDC_CAPTION_COEF 1025
#define IDC_FRAME_SPECTRUM 1026
#define IDC_GROUP_CUTOFF 1027
#define IDC_LABEL_LOW 1028
#define IDC_LABEL_HIGH 1029
#define IDC_GROUP_SPECTRUM 1030

// The About box's text and the progress box's controls.
#define IDC_ABOUT_TEXT 1100
#define IDC_PROGRESS_TEXT 1101
#define IDC_PROGRESS_BAR 1102
