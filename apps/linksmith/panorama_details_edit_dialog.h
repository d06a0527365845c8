#pragma once
// The details dialog ("Panorama Details"): the ten texts of the panorama's NOTE section
// (photographer, organisation, address, contact data, description, notes, credits), each in
// its own edit, with "Clear All Fields". Each text shows by the stored texts' reading; one left
// as it showed keeps its stored bytes. UI thread; a QApplication must exist.

#include <QDialog>

#include <array>

#include "engine/container/panorama_note.h"

class QLineEdit;

class CPanoramaDetailsEditDlg : public QDialog {
  public:
    CPanoramaDetailsEditDlg(QWidget* parent, const PanoramaNote& note);

    // The ten texts as the edits hold them now: as given where an edit holds what it showed,
    // else in UTF-8.
    PanoramaNote Note() const;
    QLineEdit* Edit(std::size_t field) const { return edits_.at(field); }
    // Empties all ten edits.
    void OnClearAllFields();

  private:
    std::array<QLineEdit*, kPanoramaNoteFieldCount> edits_{};
    PanoramaNote given_;                                  // the texts as stored
    std::array<QString, kPanoramaNoteFieldCount> shown_;  // and as the edits first showed them
};
