#pragma once
// Roamer's document: the panorama file named by the last open. The view does the loading and
// consumes the path. UI thread only.

#include <string>

class CRoamerDoc {
  public:
    // A new, empty document: no path.
    void OnNewDocument() { path.clear(); }
    // Records the file to open; the view's initial update loads it.
    void OnOpenDocument(const std::string& file) { path = file; }

    std::string path;
};
