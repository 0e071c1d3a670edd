// SPDX-License-Identifier: MIT
// The window and its scene as laid out at design time, before Form_Load runs.
//
// Here each control only gets its values. The order in which the window creates its controls,
// which is also the order they are drawn in, is stated once: kCreationOrder in form1_view.h.
#include <initializer_list>

#include "shell/form1.h"
#include "shell/game_name.h"

namespace vandrel {

namespace {

struct Segment {
    float x1, y1, x2, y2;
};

Line makeLine(Segment s, Color color, std::int16_t width) {
    Line line;
    line.X1 = s.x1;
    line.Y1 = s.y1;
    line.X2 = s.x2;
    line.Y2 = s.y2;
    line.BorderColor = color;
    line.BorderWidth = width;
    return line;
}

// Terrain and hull: white, 2 pixels wide.
Line whiteLine(Segment s) {
    return makeLine(s, kWhite, 2);
}

// The markers have the window-background colour and lie right of the client area.
Line marker(Segment s) {
    return makeLine(s, systemColor(SystemColor::WindowBackground), 1);
}

// The terrain: one profile from left to right, each segment's first end its left end.
constexpr Segment kGround[Form1Scene::GroundLines::size()] = {
    {-2520, 6000, -1320, 6000}, {-1320, 6000, -600, 5400}, {-600, 5400, 120, 4680},
    {120, 4680, 960, 4680},     {960, 4680, 1920, 5160},   {1920, 5160, 3240, 5160},
    {3240, 5160, 4200, 5880},   {4200, 5880, 5760, 5400},  {5760, 5400, 6480, 5400},
    {6480, 5400, 8280, 6120},   {8280, 6120, 9600, 6120},  {9600, 6120, 10920, 4920},
    {10918, 4920, 13400, 6000},
};

// The upright hull; ship(1)'s second end (5280, 3000) is the hull centre (hullCentre).
constexpr Segment kShip[Form1Scene::HullLines::size()] = {
    {5160, 3120, 5160, 2880}, {5280, 3240, 5280, 3000}, {5400, 3120, 5400, 2880},
    {5160, 3000, 5040, 3240}, {5520, 3240, 5400, 3000}, {5160, 2880, 5280, 2760},
    {5280, 2760, 5400, 2880}, {5160, 3120, 5400, 3120}, {5400, 2880, 5160, 2880},
};

// The stars' top-left corners.
constexpr float kStar[Form1Scene::Stars::size()][2] = {
    {600, 2760},  {3120, 960},  {1800, 1560}, {7320, 1440}, {6840, 3120},
    {8760, 960},  {9120, 3240}, {5520, 1080}, {3720, 4320}, {9840, 1920},
    {2280, 3240}, {7080, 4800}, {9360, 4680},
};

Label readout(float top) {
    Label label;
    label.Left = 120;
    label.Top = top;
    label.Width = 1215;
    label.Height = 255;
    label.Border = BorderStyle::FixedSingle;
    return label;
}

MenuItem item(std::string_view name, const char* caption, bool checked = false) {
    MenuItem m;
    m.Name = name;
    m.Caption = caption;
    m.Checked = checked;
    return m;
}

void adopt(MenuItem& parent, std::initializer_list<const MenuItem*> children) {
    parent.Children.assign(children);
}

}  // namespace

Form1::Form1(Platform& platform) : platform_(platform) {
    Caption = kGameName;
    BackColor = kBlack;
    ScaleWidth = 10905;  // 727 pixels
    ScaleHeight = 7545;  // 503 pixels

    Timer1.Interval = 10;
    Timer1.Enabled = true;  // Form_Load disables it before the first tick

    lblPause.Caption = kStartPrompt;
    lblPause.Left = 4440;
    lblPause.Top = 2160;
    lblPause.Width = 1695;
    lblPause.Height = 255;
    lblPause.TextAlign = Alignment::Center;
    lblPause.Border = BorderStyle::None;
    lblPause.BackColor = systemColor(SystemColor::MenuText);
    lblPause.ForeColor = kRed;
    lblPause.OwnFont = Font{"MS Sans Serif", 9.75, 400, false, false, false};
    lblScore = readout(1200);
    lblHeight = readout(840);
    lblThrust = readout(480);
    lblFuel = readout(120);

    for (int i = shpStar.LBound; i <= shpStar.UBound; ++i) {
        Shape& star = shpStar(i);
        star.Left = kStar[i][0];
        star.Top = kStar[i][1];
        star.Width = 60;
        star.Height = 60;
        star.Kind = ShapeKind::Oval;
        star.FillSolid = true;
        star.FillColor = kWhite;
    }
    for (int i = Ground.LBound; i <= Ground.UBound; ++i)
        Ground(i) = whiteLine(kGround[i]);
    for (int i = ship.LBound; i <= ship.UBound; ++i)
        ship(i) = whiteLine(kShip[i]);
    Line2 = marker({10920, 2160, 10920, 1440});
    Line3 = marker({13420, 3600, 13420, 4200});

    Fire = makeLine({5280, 3120, 5280, 3600}, kRed, 5);
    Fire.Visible = false;

    mnuFile = item("mnuFile", "&File");
    mnuExit = item("mnuExit", "E&xit");
    mnuOptions = item("mnuOptions", "&Options");
    mnuGravity = item("mnuGravity", "Gravity");
    mnuGNone = item("mnuGNone", "None");
    mnuGLow = item("mnuGLow", "Low");
    mnuGNormal = item("mnuGNormal", "Normal", true);
    mnuGHigh = item("mnuGHigh", "High");
    mnuGVHigh = item("mnuGVHigh", "Very High");
    mnuFuel = item("mnuFuel", "Fuel");
    mnuF250 = item("mnuF250", "250");
    mnuF500 = item("mnuF500", "500", true);
    mnuF1000 = item("mnuF1000", "1000");
    mnuFOver9000 = item("mnuFOver9000", "Over 9000!");
    mnuThrust = item("mnuThrust", "Thrust limiter");
    mnuTOn = item("mnuTOn", "On", true);
    mnuTOff = item("mnuTOff", "Off");
    mnuReset = item("mnuReset", "Reset");
    mnuHelp = item("mnuHelp", "&Help");
    mnuControls = item("mnuControls", "Controls");
    mnuABout = item("mnuABout", "About");

    adopt(mnuFile, {&mnuExit});
    adopt(mnuOptions, {&mnuGravity, &mnuFuel, &mnuThrust, &mnuReset});
    adopt(mnuGravity, {&mnuGNone, &mnuGLow, &mnuGNormal, &mnuGHigh, &mnuGVHigh});
    adopt(mnuFuel, {&mnuF250, &mnuF500, &mnuF1000, &mnuFOver9000});
    adopt(mnuThrust, {&mnuTOn, &mnuTOff});
    adopt(mnuHelp, {&mnuControls, &mnuABout});
    menuBar = {&mnuFile, &mnuOptions, &mnuHelp};
}

}  // namespace vandrel
