#pragma once

// The view binder: shows a tw::FormView (the form's screen state) in the
// window's widgets. It owns the models over the view's grids and tree, and
// the tables that tie each of the view's controls to its widget. It never
// calls a handler; while it moves the widgets, syncing() is true, so the
// commands can tell the window's own updates from the user's.

#include <memory>
#include <vector>

#include "CoreText.h"
#include "WindowWidgets.h"

class GridModel;
class GridSource;
class RawLogGridSource;
class SiteTreeModel;
class StatGridSource;

namespace tw {
struct Control;
struct FormView;
}  // namespace tw

class ViewBinder {
 public:
  // The view, the widgets and the decoder must outlive the binder; the
  // models it sets on the views go with the views.
  ViewBinder(QWidget& window, const WindowWidgets& widgets, tw::FormView& view,
             const CoreTextDecoder& decode);
  ~ViewBinder();
  ViewBinder(const ViewBinder&) = delete;
  ViewBinder& operator=(const ViewBinder&) = delete;

  // Shows the view in every widget.
  void refresh();
  // Views over the core's grids and tree follow the core before any event runs.
  void syncModels();
  // StringGrid1's column widths after the view's were adjusted to a new width.
  void applyStatColumnWidths();
  void showStatusText();
  bool syncing() const { return m_syncing; }

  StatGridSource& statSource() { return *m_statSource; }
  RawLogGridSource& rawSource() { return *m_rawSource; }
  GridModel* statModel() const { return m_statModel; }
  GridModel* rawModel() const { return m_rawModel; }

 private:
  struct ButtonBinding {
    const tw::Control* control;  // the view's, which outlives the binding
    QAbstractButton* widget;
  };
  struct LabelBinding {
    tw::Control tw::FormView::*control;
    QLabel* widget;
  };
  struct GroupBinding {
    tw::Control tw::FormView::*control;
    QGroupBox* widget;
  };
  struct ActionBinding {
    tw::Control tw::FormView::*control;
    QAction* action;
  };

  void bindControls();
  void applyControls();
  void applyBindings();
  void applyColumnWidths(QTableView* view, const GridSource& source, std::vector<int>& applied);
  void syncCurrentRow(QTableView* view, const GridSource& source);
  void syncTreeSelection();
  void applyTableLayout();
  void rebuildChart();

  QWidget& m_window;
  const WindowWidgets& m_ui;
  tw::FormView& m_view;
  const CoreTextDecoder& m_decode;
  bool m_syncing = false;

  std::unique_ptr<StatGridSource> m_statSource;
  std::unique_ptr<RawLogGridSource> m_rawSource;
  GridModel* m_statModel = nullptr;
  GridModel* m_rawModel = nullptr;
  SiteTreeModel* m_treeModel = nullptr;
  std::vector<ButtonBinding> m_buttonBindings;
  std::vector<LabelBinding> m_labelBindings;
  std::vector<GroupBinding> m_groupBindings;
  std::vector<ActionBinding> m_actionBindings;
  std::vector<int> m_statWidths;  // column widths last taken from the core
  std::vector<int> m_rawWidths;
};
