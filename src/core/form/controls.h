#pragma once

// The state of the window's simple controls as plain data. The Qt window
// shows these values; the core's handlers read and write them.

#include <string>
#include <vector>

#include "form/platform.h"

namespace tw {

// A group box, label, radio button, check box, push button or menu item.
struct Control {
  std::string Caption;  // UTF-8; menu captions may hold '&' before the accelerator
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
};

// One of the two date pickers of the period frame.
struct DatePicker {
  bool Enabled = true;
  bool HasMinDate = false;  // no lower limit when false
  CalendarDate MinDate;
  CalendarDate MaxDate;
  CalendarDate Date;  // the shown date
};

// A drop-down list: the shown texts and the chosen one (-1 for none).
struct ChoiceBox {
  std::vector<std::string> Items;  // UTF-8
  int ItemIndex = -1;
  bool Enabled = true;
  bool Visible = true;
};

}  // namespace tw
