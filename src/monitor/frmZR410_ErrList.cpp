#include "monitor/frmZR410_ErrList.h"

#include "ui_frmZR410_ErrList.h"

#include <QHeaderView>

#include "engine/SharedState.h"
#include "model/ErrorHistory.h"
#include "widgets/CellGrid.h"

namespace zr410 {

frmZR410_ErrList::frmZR410_ErrList(SharedState& state, ErrorHistory& errors, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::frmZR410_ErrList>()),
      state_(state),
      errors_(errors) {
    ui->setupUi(this);
    ui->sprdErr->setModel(&errors_);
    NameTableCorner(*ui->sprdErr);
    ui->sprdErr->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->sprdErr->horizontalHeader()->setStretchLastSection(true);
    ui->sprdErr->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->sprdErr->verticalHeader()->setDefaultSectionSize(ui->sprdErr->fontMetrics().height() + 8);
    ui->sprdErr->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
    Form_Load();
}

frmZR410_ErrList::~frmZR410_ErrList() {
    Form_Unload();
}

QTableView* frmZR410_ErrList::sprdErr() const {
    return ui->sprdErr;
}

void frmZR410_ErrList::Form_Load() {
    errors_.Open();
    state_.QueueRequest(PollState::ErrorHistory);
}

void frmZR410_ErrList::Form_Unload() {
    errors_.Close();
    // A read still waiting in the slot would only bring a reply nobody shows.
    if (state_.PendingState == PollState::ErrorHistory) {
        state_.PendingState = PollState::None;
    }
}

}  // namespace zr410
