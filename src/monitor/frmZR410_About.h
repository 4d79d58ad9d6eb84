#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmZR410_About;
}

namespace zr410 {

// About box ("대하여"): our picture of the controller, the version text, where the settings
// are kept, and the home page, which opens in the desktop's browser when clicked.
class frmZR410_About : public QDialog {
    Q_OBJECT

public:
    // The project's home page, set beside the version in CMake; an illustrative address until
    // the product has a published page.
    static const QString kHomePage;

    explicit frmZR410_About(QWidget* parent = nullptr);
    ~frmZR410_About() override;

    void lblHomePage_Click();

protected:
    // Opens the address through the desktop; tests replace it.
    virtual bool OpenHomePage(const QString& address);

private:
    void btnClose_Click();

    std::unique_ptr<Ui::frmZR410_About> ui;
};

}  // namespace zr410
