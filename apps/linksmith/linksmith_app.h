#pragma once
// Linksmith's application object: makes the main frame, sizes its client area, shows it and
// opens the panorama named on the command line. UI thread only; a QApplication and a platform
// backend must exist for the object's whole life.

#include <memory>
#include <string>
#include <vector>

class CLinksmithFrame;

class CLinksmithApp {
  public:
    CLinksmithApp();
    ~CLinksmithApp();
    CLinksmithApp(const CLinksmithApp&) = delete;
    CLinksmithApp& operator=(const CLinksmithApp&) = delete;

    // `arguments` without the program's name: the first one, when there is one, names the
    // panorama to open (the bytes the shell gives, relative to the current folder or absolute).
    // A panorama that cannot be opened is reported and the frame stays up, empty. True once the
    // frame is shown.
    bool InitInstance(const std::vector<std::string>& arguments);

    CLinksmithFrame* MainFrame() const { return frame_.get(); }

  private:
    std::unique_ptr<CLinksmithFrame> frame_;
};
