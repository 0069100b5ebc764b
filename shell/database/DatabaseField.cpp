#include "database/DatabaseField.h"

#include "database/RecordSet.h"

std::string DatabaseField::StringValue() const {
    return owner_->ColumnText(column_);
}

void DatabaseField::StringValue(const std::string& value) {
    owner_->SetPending(column_, value);
}

void DatabaseField::IntegerValue(std::int64_t value) {
    owner_->SetPending(column_, value);
}
