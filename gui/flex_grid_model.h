// Shows a flex grid model in a Qt table view.
#pragma once

#include <QAbstractTableModel>

#include "forms/flex_grid.h"

namespace gui {

// Adapts one forms::FlexGrid to Qt's model-view: cell texts, alignments and
// colours, fixed rows and columns drawn as headers are, and the grid's
// selection extent highlighted. Reads the grid model directly; `Reload` tells
// the view that the grid changed after a handler ran.
class FlexGridModel : public QAbstractTableModel {
 public:
  explicit FlexGridModel(const forms::FlexGrid& grid, QObject* parent = nullptr)
      : QAbstractTableModel(parent), grid_(grid), shownRows_(grid.Rows()), shownCols_(grid.Cols()) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // The first fixed row, shown as the view's column header so that it stays
  // in place while the rows below it scroll, as a flex grid's fixed row does.
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Reload();

 private:
  bool Fixed(int row, int col) const;
  bool Selected(int row, int col) const;

  const forms::FlexGrid& grid_;
  // The shape the view was last told of; the view asks for cells inside it only.
  int shownRows_ = 0;
  int shownCols_ = 0;
};

}  // namespace gui
