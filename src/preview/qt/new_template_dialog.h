// The "New Template from Mail" dialog: the field names proposed from a mail
// file, each with a tick to keep it, Up and Down to reorder them, and the new
// template's name. Save writes the template into the Templates folder and
// selects it as the current template; the dialog stays open on a refusal.
#pragma once

#include <QDialog>

#include "templates/field_list.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tabulon {

class FieldListOwner;

class NewTemplateDialog : public QDialog {
    Q_OBJECT
  public:
    NewTemplateDialog(QWidget* parent, FieldListOwner* owner, const FieldList& proposed,
                      const QString& name);

    // The ticked names, in the list's order.
    FieldList chosenFields() const;
    // Writes and selects the template; false (after a message) when refused.
    bool saveTemplate();
    void moveSelected(int step);

    QListWidget* FieldChoices;
    QPushButton* UpButton;
    QPushButton* DownButton;
    QLineEdit* TemplateName;
    QPushButton* SaveButton;
    QPushButton* CancelButton;

  private:
    FieldListOwner* owner_;
};

// Fields > New Template from Mail: asks for a mail file, proposes its fields.
void newTemplateFromMail(QWidget* parent, FieldListOwner* owner);

}  // namespace tabulon
