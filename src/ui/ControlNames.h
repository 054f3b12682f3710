#pragma once

// The object names of the designer window's controls, each written once. Tests and the binding tables
// find controls by these names. Names with a double underscore are held by constants without it,
// because C++ reserves such identifiers; those of the script parameters' controls are written in the
// parameters' table (model/AppletTypes.h).

#include "model/AppletTypes.h"

namespace veskaro::names {

inline constexpr auto MainForm = "MainForm";

// Frame of the window.
inline constexpr auto tlbr1 = "tlbr1";
inline constexpr auto pnlTreeView = "pnlTreeView";
inline constexpr auto trvwDesignPanel = "trvwDesignPanel";
inline constexpr auto Splitter1 = "Splitter1";
inline constexpr auto pgcntrl1 = "pgcntrl1";
inline constexpr auto tbshtScript = "tbshtScript";
inline constexpr auto tbshtItemGeneral = "tbshtItemGeneral";
inline constexpr auto tbshtPath = "tbshtPath";
inline constexpr auto StatusBar1 = "StatusBar1";
inline constexpr auto stctxtHint = "stctxtHint";
inline constexpr auto prgrsbrMainFormBottom = "prgrsbrMainFormBottom";
inline constexpr auto btnCancelWork = "btnCancelWork";

// Menus and their entries.
inline constexpr auto MainMenu1 = "MainMenu1";
inline constexpr auto PopupMenu1 = "PopupMenu1";
inline constexpr auto File1 = "File1";
inline constexpr auto Edit1 = "Edit1";
inline constexpr auto View1 = "View1";
inline constexpr auto Item1 = "Item1";
inline constexpr auto Script1 = "Script1";
inline constexpr auto Option1 = "Option1";
inline constexpr auto Help1 = "Help1";
inline constexpr auto New1 = "New1";
inline constexpr auto Open1 = "Open1";
inline constexpr auto Save1 = "Save1";
inline constexpr auto Save2 = "Save2";
inline constexpr auto mnitRecentFiles = "mnitRecentFiles";
inline constexpr auto Upload1 = "Upload1";
inline constexpr auto Exit1 = "Exit1";
inline constexpr auto Undo1 = "Undo1";
inline constexpr auto Redo1 = "Redo1";
inline constexpr auto CopyEmbedCode1 = "CopyEmbedCode1";
inline constexpr auto ToolBar1 = "ToolBar1";
inline constexpr auto StatusBar2 = "StatusBar2";
inline constexpr auto Insert2 = "Insert2";
inline constexpr auto Delete2 = "Delete2";
inline constexpr auto MoveUp2 = "MoveUp2";
inline constexpr auto MoveDown2 = "MoveDown2";
inline constexpr auto Duplicate2 = "Duplicate2";
inline constexpr auto MoveIn2 = "MoveIn2";
inline constexpr auto MoveOut2 = "MoveOut2";
inline constexpr auto BatchImport2 = "BatchImport2";
inline constexpr auto Preview1 = "Preview1";
inline constexpr auto WebBrowser1 = "WebBrowser1";
inline constexpr auto ClearPictureCache1 = "ClearPictureCache1";
inline constexpr auto Topic1 = "Topic1";
inline constexpr auto ViewSample1 = "ViewSample1";
inline constexpr auto Homepage1 = "Homepage1";
inline constexpr auto ContactUs1 = "ContactUs1";
inline constexpr auto About1 = "About1";
inline constexpr auto Insert1 = "Insert1";
inline constexpr auto Delete1 = "Delete1";
inline constexpr auto MoveUp1 = "MoveUp1";
inline constexpr auto MoveDown1 = "MoveDown1";
inline constexpr auto Duplicate1 = "Duplicate1";
inline constexpr auto MoveIn1 = "MoveIn1";
inline constexpr auto MoveOut1 = "MoveOut1";

// Tool bar.
inline constexpr auto btnBatchImportImgs = "btnBatchImportImgs";
inline constexpr auto tlbtnNew = "tlbtnNew";
inline constexpr auto tlbtnOpen = "tlbtnOpen";
inline constexpr auto tlbtnSave = "tlbtnSave";
inline constexpr auto tlbtnUpload = "tlbtnUpload";
inline constexpr auto tlbtnUndo = "tlbtnUndo";
inline constexpr auto tlbtnRedo = "tlbtnRedo";
inline constexpr auto tlbtnInsert = "tlbtnInsert";
inline constexpr auto tlbtnDelete = "tlbtnDelete";
inline constexpr auto tlbtnMoveUp = "tlbtnMoveUp";
inline constexpr auto tlbtnMoveDown = "tlbtnMoveDown";
inline constexpr auto tlbtnPreview = "tlbtnPreview";
inline constexpr auto tlbtnHelp = "tlbtnHelp";

// Page "Script".
inline constexpr auto grpbx_Script_Menu = "grpbx_Script_Menu";
inline constexpr auto GroupBox1 = "GroupBox1";
inline constexpr auto GroupBox9 = "GroupBox9";
inline constexpr auto SpeedButton1 = "SpeedButton1";
inline constexpr auto SpeedButton2 = "SpeedButton2";
inline constexpr auto SpeedButton11 = "SpeedButton11";
inline constexpr auto pSliderName = appletField(&TAppletData::pSliderName).control;
inline constexpr auto sliderWidth = appletField(&TAppletData::sliderWidth).control;
inline constexpr auto sliderHeight = appletField(&TAppletData::sliderHeight).control;
inline constexpr auto navBtnVerticalOffset = appletField(&TAppletData::navBtnVerticalOffset).control;
inline constexpr auto navBtnTextColorNormal = appletField(&TAppletData::navBtnTextColorNormal).control;
inline constexpr auto navBtnBgColorNormal = appletField(&TAppletData::navBtnBgColorNormal).control;
inline constexpr auto navBtnTextColorHover = appletField(&TAppletData::navBtnTextColorHover).control;
inline constexpr auto navBtnBgColorHover = appletField(&TAppletData::navBtnBgColorHover).control;
inline constexpr auto navBtnTextColorActive = appletField(&TAppletData::navBtnTextColorActive).control;
inline constexpr auto navBtnBgColorActive = appletField(&TAppletData::navBtnBgColorActive).control;
inline constexpr auto navBtnTextColorActiveHover = appletField(&TAppletData::navBtnTextColorActiveHover).control;
inline constexpr auto navBtnBgColorActiveHover = appletField(&TAppletData::navBtnBgColorActiveHover).control;
inline constexpr auto transDurAuto = appletField(&TAppletData::transDurAuto).control;
inline constexpr auto transDurManual = appletField(&TAppletData::transDurManual).control;
inline constexpr auto switchImageDelay = appletField(&TAppletData::switchImageDelay).control;
inline constexpr auto grpbxPicturesForVisitors = "grpbxPicturesForVisitors";
inline constexpr auto chkbxHighDensity = "chkbxHighDensity";
inline constexpr auto chkbxWebP = "chkbxWebP";
inline constexpr auto chkbxLazyLoad = "chkbxLazyLoad";
inline constexpr auto spnedtJpegQuality = "spnedtJpegQuality";
inline constexpr auto SpeedButtonPictures = "SpeedButtonPictures";

// Page "Item General".
inline constexpr auto GroupBox12 = "GroupBox12";
inline constexpr auto edtOriginalImagePath = "edtOriginalImagePath";
inline constexpr auto spdbtnOriginalImagePath = "spdbtnOriginalImagePath";
inline constexpr auto SpeedButton13 = "SpeedButton13";
inline constexpr auto GroupBox7 = "GroupBox7";
inline constexpr auto cmbx_ILink = "cmbx_ILink";
inline constexpr auto spdbtnItURL = "spdbtnItURL";
inline constexpr auto cmbx_ITarget = "cmbx_ITarget";
inline constexpr auto SpeedButton24 = "SpeedButton24";
inline constexpr auto GroupBox10 = "GroupBox10";
inline constexpr auto edt_IToolTip = "edt_IToolTip";
inline constexpr auto SpeedButton19 = "SpeedButton19";
inline constexpr auto GroupBox2 = "GroupBox2";
inline constexpr auto imgPreview = "imgPreview";

// Page "Path".
inline constexpr auto GroupBox5 = "GroupBox5";
inline constexpr auto InternalUse_RootDir_Local = appletField(&TAppletData::InternalUse_RootDir_Local).control;
inline constexpr auto InternalUse_RootDir_Remote = appletField(&TAppletData::InternalUse_RootDir_Remote).control;
inline constexpr auto InternalUse_RootDir_Local_Checked =
    appletField(&TAppletData::InternalUse_RootDir_Local_Checked).control;
inline constexpr auto InternalUse_RootDir_Local_Checked2 = "rdbtn__InternalUse_RootDir_Local_Checked2";
inline constexpr auto CheckGroupBox1 = "CheckGroupBox1";
inline constexpr auto pImageLeadingPathEnabled = appletField(&TAppletData::pImageLeadingPathEnabled).control;
inline constexpr auto pImageLeadingPath = appletField(&TAppletData::pImageLeadingPath).control;
inline constexpr auto SpeedButton28 = "SpeedButton28";

// Dialog "Upload to Web Server".
inline constexpr auto formUpload = "formUpload";
inline constexpr auto cmbxUploadProtocol = "cmbxUploadProtocol";
inline constexpr auto edtUploadHost = "edtUploadHost";
inline constexpr auto spnedtUploadPort = "spnedtUploadPort";
inline constexpr auto edtUploadUser = "edtUploadUser";
inline constexpr auto edtUploadFolder = "edtUploadFolder";
inline constexpr auto cmbxUploadAuth = "cmbxUploadAuth";
inline constexpr auto edtUploadKeyFile = "edtUploadKeyFile";
inline constexpr auto spdbtnUploadKeyFile = "spdbtnUploadKeyFile";
inline constexpr auto edtUploadPassword = "edtUploadPassword";
inline constexpr auto chkbxRememberPassword = "chkbxRememberPassword";
inline constexpr auto chkbxDeleteStale = "chkbxDeleteStale";
inline constexpr auto lblUploadNote = "lblUploadNote";
inline constexpr auto btnTestConnection = "btnTestConnection";
inline constexpr auto btnUpload = "btnUpload";
inline constexpr auto btnUploadCancel = "btnUploadCancel";

} // namespace veskaro::names
