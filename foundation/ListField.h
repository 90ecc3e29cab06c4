// Writing a value into one field of a delimited list: the value is inserted at the field's place
// and the later fields move up one; missing fields in between stay empty.
#pragma once

#include "framework/Framework.h"

// list is a buffer that holds the list's length + the text's length + (index + 1) separator
// lengths + 1 characters. Returns 0.
int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index, const wchar_t* separator);
int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index, wchar_t separator);
int SetFieldInBuffer(const wchar_t* text, wchar_t* list, int index); // ","

// The same on a list held in a string; 0, or -1 (list unchanged) when memory runs out.
int SetListField(const wchar_t* text, CString* list, int index);

// Typed values: formatted ("%d", "%u", "%ld", "%lu", "%g", "%lld"), then inserted with ",".
int SetListField(unsigned short value, CString* list, int index);
int SetListFieldInt(int value, CString* list, int index);
int SetListField(unsigned int value, CString* list, int index);
int SetListField(long value, CString* list, int index);
int SetListFieldULong(unsigned long value, CString* list, int index);
int SetListField(double value, CString* list, int index);
int SetListField(long long value, CString* list, int index);

int SetFieldInBuffer(unsigned short value, wchar_t* list, int index);
int SetFieldInBuffer(int value, wchar_t* list, int index);
int SetFieldInBuffer(unsigned int value, wchar_t* list, int index);
int SetFieldInBuffer(long value, wchar_t* list, int index);
int SetFieldInBuffer(unsigned long value, wchar_t* list, int index);
int SetFieldInBuffer(double value, wchar_t* list, int index);
int SetFieldInBuffer(long long value, wchar_t* list, int index);
