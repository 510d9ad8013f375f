// Registration of the unit kinds the runtime implements.
#pragma once

namespace quillora::runtime {

// Registers every built-in kind once (later calls do nothing).
void registerBuiltInUnitKinds();

// Each group of kinds registers itself; the groups live in their own files.
void registerButtonKinds();     // Button, CheckBox, RadioBox, SuperBtn, Label, GroupBox
void registerInputKinds();      // EditBox, ComboBox, ListBox, SliderBar, ProcessBar
void registerContainerKinds();  // Tab
void registerListKinds();       // TreeBox, ListView, DataGrid, StatusBar
void registerSpecialKinds();    // CommonDlg, CartoonBox, CartoonObject
void registerPrintingKinds();   // DrawPanel, printer

}  // namespace quillora::runtime
