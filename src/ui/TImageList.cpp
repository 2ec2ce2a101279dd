#include "TImageList.h"

#include <QPainter>
#include <QPixmap>
#include <string>

namespace {

void LeafMarker(QPainter& p, const QColor& color) {
  p.setPen(color.darker(150));
  p.setBrush(color);
  p.drawRect(4, 3, 8, 10);
  p.drawLine(6, 6, 10, 6);
  p.drawLine(6, 9, 10, 9);
}

void Folder(QPainter& p, bool open) {
  p.setPen(QColor(150, 110, 20));
  p.setBrush(QColor(240, 200, 80));
  p.drawRect(1, 4, 13, 9);
  p.drawRect(1, 2, 5, 2);
  if (open) {
    p.setBrush(QColor(255, 228, 130));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
  }
}

void Plus(QPainter& p) {
  p.setPen(QPen(QColor(30, 140, 40), 3));
  p.drawLine(8, 3, 8, 13);
  p.drawLine(3, 8, 13, 8);
}

void Printer(QPainter& p) {
  p.setPen(QColor(60, 60, 60));
  p.setBrush(Qt::white);
  p.drawRect(4, 1, 8, 5);
  p.setBrush(QColor(150, 150, 160));
  p.drawRect(1, 6, 14, 6);
  p.setBrush(Qt::white);
  p.drawRect(4, 10, 8, 5);
}

void Pencil(QPainter& p) {
  p.setPen(QPen(QColor(200, 120, 20), 3));
  p.drawLine(3, 13, 12, 4);
}

void Disk(QPainter& p) {
  p.setPen(QColor(20, 40, 120));
  p.setBrush(QColor(60, 90, 190));
  p.drawRect(2, 2, 12, 12);
  p.setBrush(Qt::white);
  p.drawRect(4, 2, 8, 4);
  p.drawRect(5, 9, 6, 5);
}

void Cross(QPainter& p) {
  p.setPen(QPen(QColor(200, 30, 30), 3));
  p.drawLine(3, 3, 13, 13);
  p.drawLine(13, 3, 3, 13);
}

void Check(QPainter& p, bool checked) {
  p.setPen(QColor(60, 60, 60));
  p.setBrush(Qt::white);
  p.drawRect(2, 2, 12, 12);
  if (!checked) return;
  p.setPen(QPen(QColor(30, 140, 40), 2));
  p.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 4)}));
}

void Undo(QPainter& p) {
  p.setPen(QPen(QColor(120, 60, 160), 2));
  p.drawArc(3, 4, 10, 9, 90 * 16, -240 * 16);
  p.drawLine(4, 4, 8, 4);
  p.drawLine(4, 4, 4, 8);
}

void DrawGlyph(QPainter& p, int index) {
  static const QColor markers[] = {
      QColor(90, 160, 220),  QColor(120, 190, 90), QColor(230, 150, 60), QColor(200, 90, 160),
      QColor(110, 110, 220), QColor(70, 180, 170), QColor(220, 90, 80)};
  switch (index) {
    case 0:
      LeafMarker(p, QColor(200, 200, 200));
      break;
    case 1:
      LeafMarker(p, QColor(255, 240, 160));
      break;
    case 2:
      Folder(p, false);
      break;
    case 3:
      Folder(p, true);
      break;
    case 11:
      Plus(p);
      break;
    case 12:
      Printer(p);
      break;
    case 13:
      Pencil(p);
      break;
    case 14:
      Disk(p);
      break;
    case 15:
      Cross(p);
      break;
    case 16:
      Check(p, true);
      break;
    case 17:
      Check(p, false);
      break;
    case 18:
      Undo(p);
      break;
    default:
      LeafMarker(p, markers[index % 7]);
      break;
  }
}

int g_picturesMade = 0;  // drawn or fetched, whoever asked

QPixmap GlyphPixmap(int index) {
  ++g_picturesMade;
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  DrawGlyph(painter, index);
  return pixmap;
}

// The pictures every list shares, made on first use. Freed at the library's
// unload (ReleaseSharedPictures), never with a window.
struct TSharedPictures {
  std::vector<QIcon> Glyphs;                   // by glyph index
  std::map<std::string, QIcon> StandardIcons;  // by theme name
};

TSharedPictures* g_shared = nullptr;

TSharedPictures& Shared() {
  if (!g_shared) g_shared = new TSharedPictures();
  return *g_shared;
}

const QIcon& SharedGlyph(int index) {
  TSharedPictures& shared = Shared();
  while (static_cast<int>(shared.Glyphs.size()) <= index) {
    shared.Glyphs.emplace_back(GlyphPixmap(static_cast<int>(shared.Glyphs.size())));
  }
  return shared.Glyphs[static_cast<size_t>(index)];
}

}  // namespace

TImageList::TImageList(QObject* owner) : QObject(owner) {}

QIcon TImageList::Icon(int index) const {
  if (index < 0 || index >= Count()) return QIcon();
  return icons_[static_cast<size_t>(index)];
}

void TImageList::Add(const QIcon& icon) {
  icons_.push_back(icon);
  nodeIcons_.clear();
}

void TImageList::Clear() {
  icons_.clear();
  nodeIcons_.clear();
}

QIcon TImageList::NodeIcon(int imageIndex, int selectedIndex) const {
  const std::pair<int, int> key(imageIndex, selectedIndex);
  auto found = nodeIcons_.find(key);
  if (found == nodeIcons_.end())
    found = nodeIcons_.emplace(key, MakeNodeIcon(imageIndex, selectedIndex)).first;
  return found->second;
}

QIcon TImageList::MakeNodeIcon(int imageIndex, int selectedIndex) const {
  QIcon icon;
  const QIcon normal = Icon(imageIndex);
  const QIcon selected = Icon(selectedIndex);
  if (!normal.isNull()) icon.addPixmap(normal.pixmap(16, 16), QIcon::Normal);
  if (!selected.isNull()) icon.addPixmap(selected.pixmap(16, 16), QIcon::Selected);
  return icon;
}

void TImageList::FillWithMaintenanceGlyphs(int count) {
  Clear();
  for (int i = 0; i < count; ++i) icons_.push_back(SharedGlyph(i));
}

void TImageList::AddStandardIcon(const char* themeName, QStyle::StandardPixmap standard,
                                 const QStyle& style) {
  TSharedPictures& shared = Shared();
  auto found = shared.StandardIcons.find(themeName);
  if (found == shared.StandardIcons.end()) {
    found = shared.StandardIcons
                .emplace(themeName, QIcon::fromTheme(QString::fromLatin1(themeName),
                                                     style.standardIcon(standard)))
                .first;
    ++g_picturesMade;
  }
  Add(found->second);
}

int TImageList::PicturesMade() {
  return g_picturesMade;
}

void TImageList::ReleaseSharedPictures() {
  delete g_shared;
  g_shared = nullptr;
  g_picturesMade = 0;
}
