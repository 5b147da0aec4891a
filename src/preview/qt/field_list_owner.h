// What the preview's windows need of the window that holds the field list: the
// list and word of its edits, the one way they edit it, and the Templates folder
// that a new template goes into.
#pragma once

#include <QString>

#include "templates/field_list.h"

class QAbstractItemModel;

namespace tabulon {

class FieldListOwner {
  public:
    virtual ~FieldListOwner() = default;

    virtual FieldList fields() const = 0;
    // The list as a model, whose signals tell of every edit.
    virtual QAbstractItemModel* fieldListModel() const = 0;
    // Adds `name` as the last field, as an edit in the list would.
    virtual void appendField(const QString& name) = 0;
    // The Templates folder, as the preferences hold it.
    virtual QString templatesFolder() const = 0;
    // Lists the folder's templates again and makes `name` the current one, as
    // choosing it in Preferences would.
    virtual void selectTemplate(const QString& name) = 0;
};

}  // namespace tabulon
