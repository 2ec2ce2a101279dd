#pragma once

#include <QIcon>
#include <QObject>
#include <QStyle>
#include <map>
#include <utility>
#include <vector>

/// An image list: 16 x 16 pictures addressed by index, as tree nodes and
/// permission actions refer to them. Indexes outside the list give a null
/// icon, so a missing picture never stops a window.
class TImageList : public QObject {
  Q_OBJECT
 public:
  explicit TImageList(QObject* owner = nullptr);

  int Count() const { return static_cast<int>(icons_.size()); }
  QIcon Icon(int index) const;
  void Add(const QIcon& icon);
  void Clear();
  /// A node icon: picture `imageIndex`, and `selectedIndex` while selected.
  /// Made once per pair and shared (a tree of 50 000 nodes holds a handful
  /// of icons, not 50 000 copies rendered one by one).
  QIcon NodeIcon(int imageIndex, int selectedIndex) const;

  /// Fills the list with the maintenance windows' glyph set of `count`
  /// pictures: 0 and 1 leaf markers, 2 and 3 a closed and an open folder
  /// (category nodes), 4 to 10 item markers in several colours, 11 add,
  /// 12 print, 13 edit, 14 save, 15 delete, 16 check, 17 uncheck, 18 cancel,
  /// further indexes plain markers. The pictures are drawn once per process
  /// and shared by every list: Qt caches an icon's rendered pixmaps
  /// (QPixmapCache) under the picture's identity, so pictures drawn anew for
  /// each window would leave a fresh set of cache entries behind every
  /// window opened and closed.
  void FillWithMaintenanceGlyphs(int count);
  /// Adds the desktop theme's icon `themeName`, else the style's standard
  /// picture, fetched once per process and shared as the glyphs are.
  void AddStandardIcon(const char* themeName, QStyle::StandardPixmap standard, const QStyle& style);

  /// Pictures drawn or fetched since the process began (or since the last
  /// release): flat once every kind of window has been open, however many
  /// windows open and close afterwards.
  static int PicturesMade();
  /// Frees the shared pictures (the library's unload: no window is open).
  static void ReleaseSharedPictures();

 private:
  QIcon MakeNodeIcon(int imageIndex, int selectedIndex) const;

  std::vector<QIcon> icons_;
  mutable std::map<std::pair<int, int>, QIcon> nodeIcons_;  // emptied when the pictures change
};
