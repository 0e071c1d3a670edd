// A read-only view of Form1: what the platform paints, and what the trace tool and the tests
// read back. It never changes the form.
#pragma once

#include <vector>

#include "shell/form1.h"

namespace vandrel {

class Form1View {
  public:
    explicit Form1View(const Form1& form) : f_(form) {}

    // The window.
    const std::string& Caption() const { return f_.Caption; }
    Color BackColor() const { return f_.BackColor; }
    float ScaleWidth() const { return f_.ScaleWidth; }
    float ScaleHeight() const { return f_.ScaleHeight; }

    // The scene.
    const Timer& Timer1() const { return f_.Timer1; }
    const Label& lblPause() const { return f_.lblPause; }
    const Label& lblScore() const { return f_.lblScore; }
    const Label& lblHeight() const { return f_.lblHeight; }
    const Label& lblThrust() const { return f_.lblThrust; }
    const Label& lblFuel() const { return f_.lblFuel; }
    const Form1::Stars& shpStar() const { return f_.shpStar; }
    const Form1::GroundLines& Ground() const { return f_.Ground; }
    const Form1::HullLines& ship() const { return f_.ship; }
    const Line& Line2() const { return f_.Line2; }
    const Line& Line3() const { return f_.Line3; }
    const Line& Fire() const { return f_.Fire; }

    /// The menus on the menu bar, in order; each item lists its submenu's items.
    const std::vector<const MenuItem*>& menuBar() const { return f_.menuBar_; }
    /// A menu item by name, or nullptr.
    const MenuItem* menuItem(std::string_view name) const;
    /// Every menu item in menu order, each submenu's header before its items.
    std::vector<const MenuItem*> menuItems() const;
    /// The items whose check marks hold the options: those of the submenus inside a menu,
    /// in menu order.
    std::vector<const MenuItem*> optionItems() const;

    // The game state.
    Currency SpeedX() const { return f_.SpeedX; }
    Currency SpeedY() const { return f_.SpeedY; }
    Currency Thrust() const { return f_.Thrust; }
    Currency Angle() const { return f_.Angle; }
    Currency Fuel() const { return f_.Fuel; }
    Currency Gravity() const { return f_.Gravity; }
    bool EngineOn() const { return f_.EngineOn; }
    bool GameOver() const { return f_.GameOver; }
    bool NoLimiter() const { return f_.NoLimiter; }
    bool TurnKey(int index) const { return f_.TurnKey(index); }

  private:
    const Form1& f_;
};

}  // namespace vandrel
