#include "gui/flex_grid_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace gui {

namespace {

QColor ToQColor(forms::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

Qt::Alignment ToQtAlignment(forms::Alignment alignment, bool looksNumeric) {
  using A = forms::Alignment;
  switch (alignment) {
    case A::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case A::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case A::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case A::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case A::CenterCenter: return Qt::AlignCenter;
    case A::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case A::RightTop: return Qt::AlignRight | Qt::AlignTop;
    case A::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case A::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
    case A::General: break;
  }
  return (looksNumeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

int FlexGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCols_;
}

bool FlexGridModel::Fixed(int row, int col) const {
  return row < grid_.FixedRows() || col < grid_.FixedCols();
}

bool FlexGridModel::Selected(int row, int col) const {
  // std::minmax of two temporaries would hand back references to them.
  const int rowLow = std::min(grid_.Row(), grid_.RowSel());
  const int rowHigh = std::max(grid_.Row(), grid_.RowSel());
  const int colLow = std::min(grid_.Col(), grid_.ColSel());
  const int colHigh = std::max(grid_.Col(), grid_.ColSel());
  return row >= rowLow && row <= rowHigh && col >= colLow && col <= colHigh;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  const int col = index.column();
  if (row < 0 || row >= grid_.Rows() || col < 0 || col >= grid_.Cols()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(grid_.TextMatrix(row, col));
    case Qt::TextAlignmentRole: {
      const std::string& text = grid_.TextMatrix(row, col);
      const bool numeric = !text.empty() && text.find_first_not_of("0123456789.-+ ") == std::string::npos;
      const forms::Alignment alignment =
          row < grid_.FixedRows() ? grid_.FixedAlignment(col) : grid_.ColAlignment(col);
      return QVariant::fromValue(ToQtAlignment(alignment, numeric));
    }
    case Qt::ForegroundRole:
      if (!Fixed(row, col) && Selected(row, col) && !(row == grid_.Row() && col == grid_.Col())) {
        return QBrush(Qt::white);
      }
      return QBrush(ToQColor(grid_.CellForeColorAt(row, col)));
    case Qt::BackgroundRole: {
      if (Fixed(row, col)) return QBrush(QColor(224, 224, 224));
      // The selected extent is drawn as the classic grid does: dark highlight
      // except for the current cell itself.
      if (Selected(row, col) && !(row == grid_.Row() && col == grid_.Col())) {
        return QBrush(QColor(0, 0, 128));
      }
      return QBrush(ToQColor(grid_.CellBackColorAt(row, col)));
    }
    default:
      return {};
  }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || grid_.FixedRows() < 1 || section < 0 || section >= grid_.Cols()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(grid_.TextMatrix(0, section));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ToQtAlignment(grid_.FixedAlignment(section), false));
    case Qt::ForegroundRole:
      return QBrush(ToQColor(grid_.CellForeColorAt(0, section)));
    default:
      return {};
  }
}

void FlexGridModel::Reload() {
  // A reset would drop the view's pressed cell in the middle of a click, so
  // a grid of the same shape only tells the view that its cells changed.
  if (grid_.Rows() == shownRows_ && grid_.Cols() == shownCols_) {
    if (shownRows_ > 0 && shownCols_ > 0) {
      emit dataChanged(index(0, 0), index(shownRows_ - 1, shownCols_ - 1));
      emit headerDataChanged(Qt::Horizontal, 0, shownCols_ - 1);
    }
    return;
  }
  beginResetModel();
  shownRows_ = grid_.Rows();
  shownCols_ = grid_.Cols();
  endResetModel();
}

}  // namespace gui
