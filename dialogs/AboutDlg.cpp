#include "dialogs/AboutDlg.h"

namespace kp::dialogs {

namespace {

ui::FormControl Label(std::string name, int left, int top, std::string text, ui::FormFont font,
                      TColor color = clWindowText)
{
    ui::FormControl control;
    control.kind = ui::FormControlKind::Label;
    control.name = std::move(name);
    control.left = left;
    control.top = top;
    control.text = std::move(text);
    control.font = std::move(font);
    control.color = color;
    return control;
}

// A font by its character height in pixels.
ui::FormFont PixelFont(std::string face, int height, bool bold = false, bool italic = false)
{
    return {std::move(face), 0, height, bold, italic};
}

}  // namespace

ui::FormSpec TAboutBox::Spec() const
{
    ui::FormSpec form;
    form.name = "TAboutBox";
    form.caption = "バージョン情報";
    form.clientWidth = 216;
    form.clientHeight = 140;
    form.font = {"MS UI Gothic", 9, 0, false, false};
    form.position = ui::FormPosition::ScreenCenter;
    form.escapeResult = ui::mrNone;

    ui::FormControl bevel;
    bevel.kind = ui::FormControlKind::Bevel;
    bevel.name = "Bevel1";
    bevel.left = 8;
    bevel.top = 8;
    bevel.width = 201;
    bevel.height = 97;
    form.controls.push_back(bevel);

    ui::FormControl icon;
    icon.kind = ui::FormControlKind::Icon;
    icon.name = "ProgramIcon";
    icon.left = 18;
    icon.top = 18;
    icon.width = 32;
    icon.height = 32;
    icon.iconId = iconId_;
    form.controls.push_back(icon);

    form.controls.push_back(Label("ProductName", 56, 16, "Kestrelpad", PixelFont("ＭＳ Ｐ明朝", 19), clBlack));
    form.controls.push_back(
        Label("Logo", 160, 14, "KZ", PixelFont("Engravers MT", 19, true, true), RGBColor(0, 0, 255)));
    form.controls.push_back(Label("Version", 56, 40, "Version 1.00", PixelFont("MS UI Gothic", 12)));
    form.controls.push_back(Label("BuildLine", 16, 77, "Compare  1999/3/14", PixelFont("MS UI Gothic", 11)));

    ui::FormControl ok;
    ok.kind = ui::FormControlKind::Button;
    ok.name = "OKButton";
    ok.left = 66;
    ok.top = 113;
    ok.width = 83;
    ok.height = 23;
    ok.text = "&OK";
    ok.result = ui::mrOk;
    ok.isDefault = true;
    form.controls.push_back(ok);
    return form;
}

}  // namespace kp::dialogs
