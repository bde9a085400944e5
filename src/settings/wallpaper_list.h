// The wallpaper list as data, and its file format: one node per line in depth-first
// pre-order, the depth given by leading tabs, each line ending in CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TWallpaperNode {
    int Parent;  // index of the parent node in the list, -1 for a top-level node
    std::string Text;
};

// Nodes in depth-first pre-order: every node's parent comes before it.
using TWallpaperList = std::vector<TWallpaperNode>;

// The list before any file is loaded: the seven day nodes, Monday first.
TWallpaperList BuiltInWallpaperList();

// The number of ancestors of node `index`.
int NodeLevel(const TWallpaperList& list, size_t index);

// What the file can keep of a node text typed by the user: the text without the blanks and
// tabs at its start, which the file reads as depth (a node " Суббота" would come back as a
// child of the node above it, or make the file unreadable).
std::string_view StorableNodeText(std::string_view typed);

// The file's bytes for a list.
std::string FormatWallpaperList(const TWallpaperList& list);

// Parses the file's bytes, appending nodes to `list` (expected empty) as it goes. Raises
// ETreeViewError "Invalid level (%d) for item "%s"" at a line more than one level deeper
// than the one before; the nodes of the earlier lines stay in `list`.
void ParseWallpaperList(std::string_view bytes, TWallpaperList& list);
