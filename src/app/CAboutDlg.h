#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class CAboutDlg;
}

// The About box: the program's name, its makers, a help link and the build line.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    ~CAboutDlg() override;

    static QString buildLine();
    static QString helpFile(); // the README that comes with the program; empty when none is found

private:
    std::unique_ptr<Ui::CAboutDlg> ui;
};
