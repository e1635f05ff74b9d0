// TForm1: control values, start-up and close sequences, settings file (stubs until implemented).
#include "Unit1.h"

const char* ControlName(TControlId) { return ""; }
TForm1::TForm1(TFormView& view) : View(view) {}
void TForm1::FormShow() {}
void TForm1::Button1Click() {}
void TForm1::Button2Click() { View.Close(); }
void TForm1::FormClose() {}
void TForm1::LoadSettings(const std::filesystem::path&) {}
void TForm1::SaveSettings(const std::filesystem::path&) {}
std::filesystem::path TForm1::SettingsFile() const {
    auto path = ExePath;
    return path.replace_extension(".dat");
}
