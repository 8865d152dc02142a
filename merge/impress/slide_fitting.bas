REM Fits a loaded presentation into another slide size without distorting it. Runs inside the
REM engine: it makes several hundred small calls for a deck of ten slides, each of which costs a
REM round trip over the bridge, and next to nothing here. The caller computes the one scale
REM and the margins that centre the scaled slide.
Option Explicit

Const kCharHeights = "CharHeight CharHeightAsian CharHeightComplex"
Const kPlaceholderStyles = "title subtitle outline1 outline2 outline3 outline4 outline5 outline6 outline7 outline8 outline9"

REM Returns "" when done, or what went wrong: a runtime error must not stop at a dialog that a
REM headless engine cannot show.
Function FitSlides(doc As Object, width As Long, height As Long, scale As Double, _
                   dx As Double, dy As Double) As String
	On Error GoTo Failed
	Dim first As Object, i As Long
	REM A slide's size is the document's: set on one slide, the engine gives it to every slide
	REM and master, and moves nothing on them.
	first = doc.DrawPages.getByIndex(0)
	first.Width = width
	first.Height = height
	If first.Width <> width Or first.Height <> height Then
		FitSlides = "the slides could not take the result's size"
		Exit Function
	End If
	ScalePlaceholderStyles(doc, scale)
	For i = 0 To doc.MasterPages.Count - 1
		FitShapes(doc.MasterPages.getByIndex(i), scale, dx, dy)
	Next i
	For i = 0 To doc.DrawPages.Count - 1
		FitShapes(doc.DrawPages.getByIndex(i), scale, dx, dy)
	Next i
	FitSlides = ""
	Exit Function
Failed:
	FitSlides = "error " & Err & " at line " & Erl & ": " & Error$
End Function

REM The fit maps (x, y) to (s·x + dx, s·y + dy); applied after each shape's own transformation
REM it keeps rotation and shear and scales lines, groups and pictures alike.
Sub FitShapes(shapes As Object, scale As Double, dx As Double, dy As Double)
	Dim i As Long, shape As Object, m As Object
	For i = 0 To shapes.Count - 1
		shape = shapes.getByIndex(i)
		m = shape.Transformation
		m.Line1.Column1 = m.Line1.Column1 * scale
		m.Line1.Column2 = m.Line1.Column2 * scale
		m.Line1.Column3 = m.Line1.Column3 * scale + dx
		m.Line2.Column1 = m.Line2.Column1 * scale
		m.Line2.Column2 = m.Line2.Column2 * scale
		m.Line2.Column3 = m.Line2.Column3 * scale + dy
		shape.Transformation = m
		ScaleShapeText(shape, scale)
	Next i
End Sub

REM A placeholder's text takes its heights from its master's styles, which are scaled once; only
REM what is set on it directly is scaled here. Other text takes its heights from document-wide
REM styles that a paste may replace with the target's, so it gets its scaled heights set
REM directly. The shapes of a group were moved with the group; only their text is left.
Sub ScaleShapeText(shape As Object, scale As Double)
	Dim i As Long, paragraphs As Object, paragraph As Object, portions As Object
	Dim inherited As Boolean
	If HasUnoInterfaces(shape, "com.sun.star.drawing.XShapes") Then
		For i = 0 To shape.Count - 1
			ScaleShapeText(shape.getByIndex(i), scale)
		Next i
		Exit Sub
	End If
	If Not HasUnoInterfaces(shape, "com.sun.star.text.XText") Then Exit Sub
	If Len(shape.getString()) = 0 Then Exit Sub
	REM Shapes of some kinds lack the property in newer engines (25.x): none of those is a placeholder.
	inherited = True
	If shape.getPropertySetInfo().hasPropertyByName("IsPresentationObject") Then
		inherited = Not shape.IsPresentationObject
	End If
	paragraphs = shape.createEnumeration()
	Do While paragraphs.hasMoreElements()
		paragraph = paragraphs.nextElement()
		If HasUnoInterfaces(paragraph, "com.sun.star.container.XEnumerationAccess") Then
			portions = paragraph.createEnumeration()
			Do While portions.hasMoreElements()
				ScaleCharHeights(portions.nextElement(), scale, inherited)
			Loop
		End If
	Loop
End Sub

Sub ScaleCharHeights(portion As Object, scale As Double, inherited As Boolean)
	Dim names, i As Long
	names = Split(kCharHeights)
	For i = 0 To UBound(names)
		If inherited Or portion.getPropertyState(names(i)) = com.sun.star.beans.PropertyState.DIRECT_VALUE Then
			portion.setPropertyValue(names(i), CSng(portion.getPropertyValue(names(i)) * scale))
		End If
	Next i
End Sub

REM Every height is read before any is written: outline levels inherit from each other, and a
REM level scaled through its parent must not be scaled twice.
Sub ScalePlaceholderStyles(doc As Object, scale As Double)
	Dim families As Object, styles As Object, styleNames, heightNames
	Dim found() As Object, heights() As Double, count As Long, i As Long, k As Long, n As Long
	families = doc.StyleFamilies
	styleNames = Split(kPlaceholderStyles)
	heightNames = Split(kCharHeights)
	ReDim found(doc.MasterPages.Count * (UBound(styleNames) + 1))
	ReDim heights(doc.MasterPages.Count * (UBound(styleNames) + 1), UBound(heightNames))
	count = 0
	For i = 0 To doc.MasterPages.Count - 1
		If families.hasByName(doc.MasterPages.getByIndex(i).Name) Then
			styles = families.getByName(doc.MasterPages.getByIndex(i).Name)
			For k = 0 To UBound(styleNames)
				If styles.hasByName(styleNames(k)) Then
					found(count) = styles.getByName(styleNames(k))
					For n = 0 To UBound(heightNames)
						heights(count, n) = found(count).getPropertyValue(heightNames(n))
					Next n
					count = count + 1
				End If
			Next k
		End If
	Next i
	For i = 0 To count - 1
		For n = 0 To UBound(heightNames)
			found(i).setPropertyValue(heightNames(n), CSng(heights(i, n) * scale))
		Next n
	Next i
End Sub
